#include "host/app/commands/workerpool.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include "host/app/commands/changeoptions.h"
#include "host/app/commands/changesession.h"
#include "host/engine/engine.h"

namespace tonaroapp {

namespace {

// A task file holds five NUL-terminated fields per task.
constexpr size_t kTaskFields = 5;

bool ReadTaskFile(const std::string& path, std::vector<FileTask>* tasks)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<std::string> fields;
    std::string field;
    while (std::getline(in, field, '\0')) fields.push_back(field);
    if (fields.size() % kTaskFields != 0) return false;
    for (size_t i = 0; i < fields.size(); i += kTaskFields)
        tasks->push_back({fields[i], fields[i + 1], fields[i + 2], fields[i + 3], fields[i + 4] == "1"});
    return true;
}

struct Worker {
    std::unique_ptr<QProcess> process;
    std::optional<size_t> task;  // the task it is running
    bool gone = false;
};

// Why a worker stopped, for the task it was running.
std::string EndText(const QProcess& process)
{
    if (process.error() == QProcess::FailedToStart)
        return "no worker process could be started: " + process.errorString().toStdString();
    if (process.exitStatus() == QProcess::CrashExit) return "the worker process running it crashed";
    return "the worker process running it ended (exit status " + std::to_string(process.exitCode()) + ")";
}

}  // namespace

bool WriteTaskFile(const std::string& path, const std::vector<FileTask>& tasks, std::string* why)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const FileTask& task : tasks) {
        for (const std::string& field :
             {task.input, task.inputPath, task.output, task.outputPath, std::string(task.inPlace ? "1" : "0")})
            out << field << '\0';
    }
    out.close();
    if (!out) *why = path + ": the task list cannot be written";
    return static_cast<bool>(out);
}

void RunInWorkers(const std::vector<FileTask>& tasks, int workers, const WorkerSetup& setup,
                  const std::function<void(size_t)>& started,
                  const std::function<void(size_t, const FileResult&)>& finished)
{
    QEventLoop loop;
    std::vector<std::unique_ptr<Worker>> pool;
    size_t next = 0;
    size_t done = 0;
    int made = 0;
    // A task can fail at most once by its worker's end; one restart per task
    // bounds the number of workers whatever happens.
    const int maxWorkers = workers + static_cast<int>(tasks.size());

    auto finish = [&](size_t task, const FileResult& result) {
        ++done;
        finished(task, result);
        if (done == tasks.size()) loop.quit();
    };
    auto fail = [&](size_t task, const std::string& why) {
        FileResult result;
        result.input = tasks[task].input;
        result.error = (tasks[task].input == "-" ? std::string("standard input") : tasks[task].input) + ": " + why;
        finish(task, result);
    };
    auto dispatch = [&](Worker& worker) {
        if (worker.gone) return;
        if (next >= tasks.size()) {
            worker.process->closeWriteChannel();
            return;
        }
        worker.task = next;
        worker.process->write((std::to_string(next) + "\n").c_str());
        started(next);
        ++next;
    };
    std::function<void()> startWorker;
    auto ended = [&](Worker& worker) {
        if (worker.gone) return;
        worker.gone = true;
        if (worker.task) fail(*worker.task, EndText(*worker.process));
        worker.task.reset();
        if (next < tasks.size()) {
            if (made < maxWorkers && worker.process->error() != QProcess::FailedToStart) {
                startWorker();
            } else {
                const std::string why = EndText(*worker.process);
                bool others = false;
                for (const auto& other : pool) others = others || !other->gone;
                while (!others && next < tasks.size()) fail(next++, why);
            }
        }
    };
    startWorker = [&] {
        const int number = made++;
        auto worker = std::make_unique<Worker>();
        Worker* self = worker.get();
        std::string why;
        const std::string settings = setup.settingsFolder(number, &why);
        if (settings.empty()) {
            // Without a settings copy no worker can run: the remaining
            // tasks fail with the reason.
            while (next < tasks.size()) fail(next++, why);
            return;
        }
        QStringList args{"--plugins", QString::fromStdString(setup.pluginFolder), "change-pitches-worker",
                         QString::fromStdString(setup.taskFile), "--settings-dir", QString::fromStdString(settings)};
        for (const std::string& arg : setup.dialogArguments) args << QString::fromStdString(arg);
        self->process = std::make_unique<QProcess>();
        QProcess* process = self->process.get();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process, &QProcess::readyReadStandardOutput, [&, self] {
            while (self->process->canReadLine()) {
                const QJsonDocument line = QJsonDocument::fromJson(self->process->readLine());
                const QJsonObject object = line.object();
                FileResult result;
                if (!self->task || object.value("task").toInteger(-1) != static_cast<qint64>(*self->task) ||
                    !FromJson(object.value("result").toObject(), &result))
                    continue;  // not an answer to the task it runs
                const size_t task = *self->task;
                self->task.reset();
                result.input = tasks[task].input;
                finish(task, result);
                dispatch(*self);
            }
        });
        QObject::connect(process, &QProcess::finished, [&, self] { ended(*self); });
        QObject::connect(process, &QProcess::errorOccurred, [&, self](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) ended(*self);
        });
        pool.push_back(std::move(worker));
        process->start(QCoreApplication::applicationFilePath(), args);
        dispatch(*self);
    };

    if (tasks.empty()) return;
    for (int i = 0; i < std::max(1, workers) && next < tasks.size(); ++i) startWorker();
    if (done < tasks.size()) loop.exec();
    // Every task is in; let the workers finish their own clean-up.
    for (auto& worker : pool) {
        if (worker->gone) continue;
        worker->process->closeWriteChannel();
        if (!worker->process->waitForFinished(30000)) worker->process->kill();
        worker->process->waitForFinished();
    }
}

int RunChangePitchesWorker(const std::vector<std::string>& args, const AppOptions& appOptions)
{
    if (args.empty()) return UsageError("change-pitches-worker needs a task file");
    std::vector<FileTask> tasks;
    if (!ReadTaskFile(args[0], &tasks)) return Failure(args[0] + ": not a task list");
    ChangeOptions options;
    if (const int usage = ParseChangeOptions({args.begin() + 1, args.end()}, true, &options); usage != 0)
        return usage;
    if (options.settingsDir) tonaroengine::Engine::Instance().SetSettingsFolder(*options.settingsDir);

    ChangeSession session;
    std::string why;
    if (!session.Open(appOptions.pluginFolder, false, &why)) return Failure(why);
    if (const std::optional<DialogRefusal> refusal = session.Configure(options)) {
        std::fprintf(stderr, "tonaro: %s %s: %s\n", refusal->option.c_str(), refusal->value.c_str(),
                     refusal->message.c_str());
        return refusal->usage ? kExitUsage : kExitFailure;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        size_t index = 0;
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), index);
        if (error != std::errc() || end != line.data() + line.size() || index >= tasks.size()) continue;
        const FileResult result = RunFileJob(session, tasks[index], options);
        const QJsonObject answer{{"task", static_cast<qint64>(index)}, {"result", ToJson(result)}};
        std::fputs((QJsonDocument(answer).toJson(QJsonDocument::Compact).toStdString() + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    session.Close();
    return kExitSuccess;
}

}  // namespace tonaroapp
