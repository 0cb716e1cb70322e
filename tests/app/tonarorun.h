// Running the tonaro executable from tests, and reading the pitches of the
// MusicXML files it writes.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs tonaro with args; settingsDir becomes XDG_CONFIG_HOME and HOME, so
// that no run reads or writes the user's own settings. With withScreen
// false the child has no screen at all: no display and no Qt platform.
// input is written to the child's standard input, which is then closed.
inline RunResult RunTonaro(const QStringList& args, const QString& settingsDir, bool withScreen = true,
                           const std::string& input = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (withScreen) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
    }
    env.insert("XDG_CONFIG_HOME", settingsDir);
    env.insert("HOME", settingsDir);
    // Under the sanitizers, the leak checker's own tracer thread crashes at
    // exit in some tonaro children started this way (a fault of the checker,
    // "Tracer caught signal 11", not a leak report). Address and behaviour
    // checks stay on; leaks of the same code are checked in-process by the
    // plug-in and framework tests.
    if (env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    process.setProcessEnvironment(env);
    process.start(TONARO_EXECUTABLE, args);
    if (!input.empty()) process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    RunResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pitches of one part's notes in file order, as "C#4", "Bb3", "E##5";
// rests as "r". Empty when the file or part is missing.
inline std::vector<std::string> PartPitches(const std::string& path, const std::string& partId)
{
    std::vector<std::string> out;
    pugi::xml_document xml;
    if (!xml.load_file(path.c_str())) return out;
    for (pugi::xml_node part : xml.child("score-partwise").children("part")) {
        if (partId != part.attribute("id").value()) continue;
        for (pugi::xml_node measure : part.children("measure")) {
            for (pugi::xml_node note : measure.children("note")) {
                pugi::xml_node pitch = note.child("pitch");
                if (!pitch) {
                    out.push_back("r");
                    continue;
                }
                const int alter = pitch.child("alter").text().as_int(0);
                std::string name = pitch.child_value("step");
                name += alter > 0 ? std::string(static_cast<size_t>(alter), '#') : std::string(static_cast<size_t>(-alter), 'b');
                name += pitch.child_value("octave");
                out.push_back(name);
            }
        }
    }
    return out;
}
