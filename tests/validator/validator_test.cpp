// "tonaro validate" end to end: the real plug-in passes every check, a
// plug-in without faults passes every check, and each deliberately faulty
// module fails exactly the checks that target its fault, with the right
// kind of result, while the run goes on and exits 1.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ValidateRun {
    int exitCode = -1;  // -2: the validator itself crashed; -1: it hung
    std::string out;
    std::string err;
    std::string seedLine;
    std::string orderLine;
    // Check name -> result ("PASS", "FAIL", "CRASH (SIGSEGV)", "TIMEOUT") and detail.
    std::map<std::string, std::string> results;
    std::map<std::string, std::string> details;
};

ValidateRun RunValidate(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(TONARO_EXECUTABLE, QStringList{"validate"} + args);
    ValidateRun run;
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();

    // Table rows: name, result, time ("0.21 s"), detail.
    std::istringstream lines(run.out);
    std::string line;
    bool inTable = false;
    while (std::getline(lines, line)) {
        if (line.starts_with("seed: ")) run.seedLine = line;
        if (line.starts_with("order: ")) run.orderLine = line;
        if (line.starts_with("CHECK ")) {
            inTable = true;
            continue;
        }
        const size_t nameEnd = line.find(' ');
        if (!inTable || line.empty() || nameEnd == std::string::npos) continue;
        const size_t resultStart = line.find_first_not_of(' ', nameEnd);
        if (resultStart == std::string::npos) continue;
        size_t resultEnd = line.find(' ', resultStart);
        if (line.compare(resultStart, 7, "CRASH (") == 0) resultEnd = line.find(')', resultStart) + 1;
        const std::string result = line.substr(resultStart, resultEnd - resultStart);
        if (result != "PASS" && result != "FAIL" && result != "TIMEOUT" && !result.starts_with("CRASH (")) continue;
        const size_t unit = line.find(" s  ", resultEnd);
        const std::string name = line.substr(0, nameEnd);
        run.results[name] = result;
        run.details[name] = unit == std::string::npos ? "" : line.substr(unit + 4);
    }
    return run;
}

// A check's result or detail; "(not run)" when the table lacks the check.
std::string Get(const std::map<std::string, std::string>& column, const std::string& check)
{
    const auto found = column.find(check);
    return found != column.end() ? found->second : "(not run)";
}

std::string Faulty(const std::string& fault) { return std::string(TONARO_FAULTY_DIR) + "/faulty_" + fault + ".so"; }

std::vector<std::string> CheckNames()
{
    const ValidateRun list = RunValidate({"--list"});
    std::vector<std::string> names;
    std::istringstream lines(list.out);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty()) names.push_back(line.substr(0, line.find(' ')));
    return names;
}

std::string Describe(const ValidateRun& run) { return run.out + run.err; }

TEST(ValidatorTest, ListNamesEveryCheckWithADescription)
{
    const ValidateRun list = RunValidate({"--list"});
    EXPECT_EQ(list.exitCode, 0);
    const std::vector<std::string> names = CheckNames();
    for (const char* expected : {"exports", "main-null", "version", "init-terminate", "enumerate", "enumerate-utf16",
                                 "menu-status", "invoke", "invoke-twice", "terminate-before-invoke", "terminate-twice",
                                 "cycles", "unload-with-dialog-open", "randomised-order"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
    std::istringstream lines(list.out);
    std::string line;
    while (std::getline(lines, line)) EXPECT_GT(line.find_first_not_of(' ', line.find(' ')), line.find(' ')) << line;
}

#ifdef TONARO_REAL_PLUGIN
TEST(ValidatorTest, RealPluginPassesEveryCheck)
{
    const ValidateRun run = RunValidate({"--seed", "2024", TONARO_REAL_PLUGIN});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_EQ(run.seedLine, "seed: 2024");
    const std::vector<std::string> names = CheckNames();
    ASSERT_EQ(run.results.size(), names.size()) << Describe(run);
    for (const std::string& name : names)
        EXPECT_EQ(Get(run.results, name), "PASS") << name << ": " << Get(run.details, name);
    EXPECT_NE(run.details.at("enumerate").find("ZP Change Pitches..."), std::string::npos);
    EXPECT_NE(Get(run.details, "cycles").find("the module is unmapped after unloading"), std::string::npos)
        << Get(run.details, "cycles");
}
#endif

TEST(ValidatorTest, PluginWithoutFaultsPassesEveryCheck)
{
    const ValidateRun run = RunValidate({"--seed", "5", "--cycles", "3", Faulty("none").c_str()});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    for (const std::string& name : CheckNames())
        EXPECT_EQ(Get(run.results, name), "PASS") << name << ": " << Get(run.details, name);
}

TEST(ValidatorTest, CyclesProveTheUnmapOrNameWhatKeepsTheModuleMapped)
{
    const std::map<std::string, std::string> expected = {
        {"none", "the module is unmapped after unloading"},
        {"thread_local_destructor", "stays mapped after unloading (from cycle 1): it registers destructors of "
                                    "thread_local objects"},
        {"nodelete", "stays mapped after unloading (from cycle 1): it is marked NODELETE"},
    };
    for (const auto& [module, detail] : expected) {
        const ValidateRun run = RunValidate({"--cycles", "2", "--check", "cycles", Faulty(module).c_str()});
        ASSERT_EQ(run.exitCode, 0) << Describe(run);
        EXPECT_NE(Get(run.details, "cycles").find(detail), std::string::npos) << module << ": " << Describe(run);
    }
}

TEST(ValidatorTest, SeedReproducesTheOrderAndAnUnseededRunPrintsItsSeed)
{
    const QStringList checks = {"--check", "exports", "--check", "version", "--check", "enumerate",
                                "--check", "menu-status", "--check", "init-terminate", "--check", "main-null"};
    const QString plugin = QString::fromStdString(Faulty("none"));
    const ValidateRun first = RunValidate(QStringList{"--seed", "31337"} + checks + QStringList{plugin});
    const ValidateRun again = RunValidate(QStringList{"--seed", "31337"} + checks + QStringList{plugin});
    ASSERT_EQ(first.exitCode, 0) << Describe(first);
    EXPECT_EQ(first.results.size(), 6u);
    EXPECT_FALSE(first.orderLine.empty());
    EXPECT_EQ(first.orderLine, again.orderLine);

    // Different seeds give different orders (720 orders; these two differ).
    std::set<std::string> orders;
    for (const char* seed : {"1", "2", "3"})
        orders.insert(RunValidate(QStringList{"--seed", seed} + checks + QStringList{plugin}).orderLine);
    EXPECT_GT(orders.size(), 1u);

    // Without --seed the run tells its seed, and that seed repeats the order.
    const ValidateRun unseeded = RunValidate(checks + QStringList{plugin});
    ASSERT_TRUE(unseeded.seedLine.starts_with("seed: ")) << Describe(unseeded);
    const QString seed = QString::fromStdString(unseeded.seedLine.substr(6));
    EXPECT_EQ(RunValidate(QStringList{"--seed", seed} + checks + QStringList{plugin}).orderLine, unseeded.orderLine);
}

// One faulty module: the checks that must catch it and how (a result or its
// start, such as "CRASH"); every other check must pass, except the
// randomised one, whose calls depend on the seed.
struct FaultCase {
    const char* fault;
    std::map<std::string, std::string> caughtBy;
    const char* detailPart;  // a text in the detail of the first of caughtBy (in name order)
    QStringList extraArgs;
};

// Names the case by its fault in test listings.
void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.fault; }

class FaultyPluginTest : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultyPluginTest, FailsExactlyTheChecksThatTargetItsFault)
{
    const FaultCase& fault = GetParam();
    const ValidateRun run =
        RunValidate(QStringList{"--seed", "42", "--cycles", "3"} + fault.extraArgs +
                    QStringList{QString::fromStdString(Faulty(fault.fault))});
    ASSERT_EQ(run.exitCode, 1) << Describe(run);
    ASSERT_FALSE(run.results.empty()) << Describe(run);
    for (const auto& [check, expected] : fault.caughtBy) {
        ASSERT_TRUE(run.results.contains(check)) << check << "\n" << Describe(run);
        EXPECT_TRUE(run.results.at(check).starts_with(expected))
            << check << ": " << run.results.at(check) << " " << run.details.at(check);
    }
    const std::string& first = fault.caughtBy.begin()->first;
    EXPECT_NE(run.details.at(first).find(fault.detailPart), std::string::npos) << run.details.at(first);
    for (const auto& [check, result] : run.results) {
        if (fault.caughtBy.contains(check) || check == "randomised-order") continue;
        EXPECT_EQ(result, "PASS") << check << ": " << run.details.at(check);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyPluginTest,
    testing::Values(
        FaultCase{"main_null", {{"main-null", "CRASH"}}, "main(null, null)", {}},
        FaultCase{"second_invoke", {{"invoke-twice", "CRASH"}, {"randomised-order", "CRASH"}}, "invoke", {}},
        // Every check that invokes would wait out its limit: only some run.
        FaultCase{"hang_invoke",
                  {{"invoke", "TIMEOUT"}},
                  "at invoke",
                  {"--timeout", "3", "--check", "invoke", "--check", "enumerate", "--check", "terminate-before-invoke"}},
        FaultCase{"enumerate_overrun", {{"enumerate", "FAIL"}}, "index 1: wrote past the end of the record", {}},
        // Every check that ends a plug-in it never invoked reaches this fault;
        // those that invoke first must pass.
        FaultCase{"terminate_without_window",
                  {{"init-terminate", "CRASH"},
                   {"terminate-before-invoke", "CRASH"},
                   {"terminate-twice", "CRASH"},
                   {"main-null", "CRASH"},
                   {"version", "CRASH"},
                   {"enumerate", "CRASH"},
                   {"enumerate-utf16", "CRASH"},
                   {"menu-status", "CRASH"}},
                  "at terminate",
                  {}},
        FaultCase{"window_outlives_terminate",
                  {{"cycles", "FAIL"}, {"unload-with-dialog-open", "FAIL"}, {"randomised-order", "FAIL"}},
                  "still alive after unloading",
                  {}},
        FaultCase{"frame_leak", {{"cycles", "FAIL"}, {"randomised-order", "FAIL"}}, "entry frame", {}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.fault); });

TEST(ValidatorTest, AModuleThatIsNotAPluginFailsEveryCheck)
{
    const ValidateRun run = RunValidate({"--seed", "1", TONARO_NOT_A_PLUGIN});
    ASSERT_EQ(run.exitCode, 1) << Describe(run);
    EXPECT_EQ(run.results.at("exports"), "FAIL");
    EXPECT_NE(run.details.at("exports").find("missing entry points: main"), std::string::npos);
    EXPECT_EQ(run.results.size(), CheckNames().size());
    for (const auto& [check, result] : run.results) EXPECT_EQ(result, "FAIL") << check;
}

TEST(ValidatorTest, BadArgumentsAreUsageErrorsAndAMissingFileAFailure)
{
    EXPECT_EQ(RunValidate({}).exitCode, 2);
    EXPECT_EQ(RunValidate({"--check", "no-such-check", Faulty("none").c_str()}).exitCode, 2);
    EXPECT_EQ(RunValidate({"--seed", "-3", Faulty("none").c_str()}).exitCode, 2);
    EXPECT_EQ(RunValidate({"--timeout", "0", Faulty("none").c_str()}).exitCode, 2);
    EXPECT_EQ(RunValidate({"--cycles", "0", Faulty("none").c_str()}).exitCode, 2);
    EXPECT_EQ(RunValidate({"a.so", "b.so"}).exitCode, 2);
    const ValidateRun missing = RunValidate({"/nonexistent/plugin.so"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("is not a file"), std::string::npos) << missing.err;
}

}  // namespace
