// Faults of the machine during an installation and an extraction: a disk that
// fills up, a destination that cannot be made, a target that cannot be
// replaced, a registry store that cannot be written or is cut off mid-write.
// A failed run is reported with the system's text and nothing is claimed as
// installed; the registry's failures stay silent, as the installer's rules say.
#include <sys/stat.h>
#include <unistd.h>

#include "common/test_seams.h"
#include "fault_test_machine.h"
#include "mksetup_test_fixture.h"
#include "system/registry_file_posix.h"

namespace {

const char kDiskFull[] = "There is not enough space on the disk.\r\n";
const char kInstalled[] = "Sample has been successfully installed.";

struct DiskLimit {
    explicit DiskLimit(int64_t bytes) { gTestSeams.diskBytesLeft = bytes; }
    ~DiskLimit() { gTestSeams = kNoTestSeams; }
};

struct CloseFailure {
    explicit CloseFailure(uint32_t code) { gTestSeams.diskCloseError = code; }
    ~CloseFailure() { gTestSeams = kNoTestSeams; }
};

struct StoreCrash {
    explicit StoreCrash(int64_t bytes) { gTestSeams.storeCrashAfterBytes = bytes; }
    ~StoreCrash() { gTestSeams = kNoTestSeams; }
};

const std::string kBig(40000, 'b');

test::PackagePlan Sample() {
    test::PackagePlan plan;
    plan.productCode = "SMP";
    plan.windowClass = "SampleWindow";
    plan.files = {{"FILE_ID.DIZ", "Sample Version 1.0\r\n"},
                  {"a.dll", kBig},
                  {"b.dll", kBig},
                  {"Qsample.exe", std::string(3000, 'q')},
                  {"UnInst.exe", "uninstall"}};
    return plan;
}

int64_t PlainBytes(const test::PackagePlan& plan) {
    int64_t total = 0;
    for (const test::PackageFile& file : plan.files) total += static_cast<int64_t>(file.bytes.size());
    return total;
}

class FaultInstall : public test::Machine {
protected:
    void ExpectNothingRegistered(DialogModel* model) {
        EXPECT_EQ(Remembered("SMP"), std::nullopt);
        EXPECT_EQ(UninstallName("Sample"), std::nullopt);
        EXPECT_EQ(Links(), std::vector<std::string>{});
        EXPECT_EQ(test::ControlText(model, kIdStatus).empty(), false) << "the status line was cleared as on success";
    }
    void ExpectInstalled(const std::string& folder) {
        for (const test::PackageFile& file : Sample().files)
            EXPECT_EQ(test::FileText(folder + "/" + file.name), file.bytes) << file.name;
    }
};

struct DiskCase {
    const char* what;
    int64_t bytesLeft;  // -1: the whole package less one byte
    int32_t expected;
};

void PrintTo(const DiskCase& c, std::ostream* out) { *out << c.what; }

class FullDisk : public FaultInstall, public ::testing::WithParamInterface<DiskCase> {};

// The disk fills up somewhere in the package: the run stops with the
// disk-full code and its text; no folder is remembered, no uninstall entry or
// shortcut made. Once there is room again, the same dialog installs it all.
TEST_P(FullDisk, FailsWithTheDiskFullTextAndClaimsNothing) {
    const DiskCase& c = GetParam();
    auto model = OpenDialog(Sample());
    int64_t left = c.bytesLeft >= 0 ? c.bytesLeft : PlainBytes(Sample()) - 1;
    {
        DiskLimit limit(left);
        EXPECT_EQ(RunInstall(&model->window), c.expected);
    }
    if (c.expected == 0) {
        EXPECT_EQ(Messages(model.get()), std::vector<std::string>{kInstalled});
        ExpectInstalled(Proposed("Sample"));
        return;
    }
    EXPECT_EQ(Messages(model.get()), std::vector<std::string>{kDiskFull});
    EXPECT_EQ(model->messages[0].style, kMbIconError);
    ExpectNothingRegistered(model.get());

    EXPECT_EQ(RunInstall(&model->window), 0);
    ExpectInstalled(Proposed("Sample"));
    EXPECT_EQ(Remembered("SMP"), ProposedText("Sample"));
}

const DiskCase kDiskCases[] = {
    {"no room at all", 0, 112},
    {"full inside the description", 10, 112},
    {"full inside a file", 30000, 112},
    {"full exactly where a file ends", 20 + 40000, 112},
    {"one byte short", -1, 112},
    {"exactly enough", 20 + 40000 + 40000 + 3000 + 9, 0},
};

INSTANTIATE_TEST_SUITE_P(Fault, FullDisk, ::testing::ValuesIn(kDiskCases));

// mksetup extract on a disk that fills up: it fails naming the file and the
// disk-full error, and does not report the files as extracted.
TEST_F(FaultInstall, ExtractOnAFullDiskFailsAndSaysSo) {
    test::WriteSetupFile(Setup(), Sample());
    for (int64_t left : {int64_t{0}, int64_t{30000}, PlainBytes(Sample()) - 1}) {
        SCOPED_TRACE(left);
        std::string out = root.Join("out" + std::to_string(left));
        DiskLimit limit(left);
        test::CommandResult result = test::RunCommand(ExtractCommand, {Setup(), "-o", out});
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.err.find("there is not enough space on the disk"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("cannot write '" + out + "/"), std::string::npos) << result.err;
        EXPECT_EQ(result.out.find("extracted"), std::string::npos) << result.out;
    }
}

// A file system that reports its error only when a file is closed (a full
// quota, a network share writing late): the installation, mksetup extract and
// mksetup install all fail with that error instead of claiming success.
TEST_F(FaultInstall, AnErrorAtCloseIsAFailedWrite) {
    auto model = OpenDialog(Sample());
    {
        CloseFailure failure(kErrorDiskFull);
        EXPECT_EQ(RunInstall(&model->window), 112);
    }
    EXPECT_EQ(Messages(model.get()), std::vector<std::string>{kDiskFull});
    ExpectNothingRegistered(model.get());

    const struct {
        const char* what;
        int (*command)(const std::vector<std::string>&);
        std::vector<std::string> args;
    } commands[] = {
        {"extract", ExtractCommand, {Setup(), "-o", root.Join("out"), "-q"}},
        {"install", InstallCommand, {Setup(), "--dest", root.Join("dest")}},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.what);
        CloseFailure failure(kErrorDiskFull);
        test::CommandResult result = test::RunCommand(c.command, c.args);
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.err.find("not enough space on the disk"), std::string::npos) << result.err;
        EXPECT_EQ(result.out.find("extracted"), std::string::npos) << result.out;
        EXPECT_EQ(result.err.find(kInstalled), std::string::npos) << result.err;
    }
}

struct DestinationCase {
    const char* what;
    const char* typed;  // below the machine's root
    const char* file;   // a file made there first
};

// A destination that cannot be made shows up as the failure of the first
// file, with the system's text; nothing is registered.
TEST_F(FaultInstall, ADestinationThatCannotBeMadeFailsTheInstall) {
    const DestinationCase cases[] = {
        {"below a file", "blocker/Sample", "blocker"},
        {"a file in its place", "blocker", "blocker"},
        {"deep below a file", "blocker/a/b/c", "blocker"},
    };
    for (const DestinationCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(test::WriteWholeFile(root.Join(c.file), "in the way"));
        auto model = OpenDialog(Sample());
        SetItemText(&model->window, kIdDestination, test::U16(root.Join(c.typed)).c_str());
        EXPECT_EQ(RunInstall(&model->window), 3);
        EXPECT_EQ(Messages(model.get()), std::vector<std::string>{"The system cannot find the path specified.\r\n"});
        ExpectNothingRegistered(model.get());
        EXPECT_EQ(test::FileText(root.Join(c.file)), "in the way");
        ASSERT_EQ(unlink(root.Join(c.file).c_str()), 0);
    }
}

// mksetup extract into a folder that cannot be made, and over a target that
// cannot be replaced: a failure naming what stood in the way.
TEST_F(FaultInstall, ExtractRefusesWhatCannotBeWritten) {
    test::WriteSetupFile(Setup(), Sample());
    ASSERT_TRUE(test::WriteWholeFile(root.Join("blocker"), "in the way"));
    test::CommandResult below = test::RunCommand(ExtractCommand, {Setup(), "-o", root.Join("blocker/out"), "-q"});
    EXPECT_EQ(below.code, 1);
    EXPECT_NE(below.err.find("cannot make the folder"), std::string::npos) << below.err;

    for (bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "a folder at the target" : "a file without write bits");
        std::string out = root.Join(folder ? "out-folder" : "out-file");
        ASSERT_TRUE(test::MakeFolders(out));
        std::string target = out + "/b.dll";
        if (folder) {
            ASSERT_TRUE(test::MakeFolders(target));
        } else {
            ASSERT_TRUE(test::WriteWholeFile(target, "kept"));
            ASSERT_EQ(chmod(target.c_str(), 0444), 0);
        }
        test::CommandResult result = test::RunCommand(ExtractCommand, {Setup(), "-o", out, "-q"});
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.err.find("cannot write '" + target + "': system error 5"), std::string::npos) << result.err;
        EXPECT_EQ(test::FileText(out + "/a.dll"), kBig);
        EXPECT_FALSE(test::PathExists(out + "/UnInst.exe"));
        if (!folder) {
            EXPECT_EQ(test::FileText(target), "kept");
        }
    }
}

// A registry store that cannot be written changes nothing for the user: the
// files and shortcuts are there and the only message is the success message.
TEST_F(FaultInstall, AnUnwritableRegistryStoreLeavesTheInstallSilent) {
    const struct {
        const char* what;
        std::string store;
        std::string blocker;  // a folder made there, or a file when it ends in ".file"
    } cases[] = {
        {"the store below a file", root.Join("store.file/registry.txt"), root.Join("store.file")},
        {"a folder in the store's place", root.Join("store-folder"), root.Join("store-folder/")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.blocker.back() == '/') ASSERT_TRUE(test::MakeFolders(c.blocker));
        else ASSERT_TRUE(test::WriteWholeFile(c.blocker, "not a folder"));
        test::ScopedEnv store("SETUP_REGISTRY", c.store.c_str());
        auto model = OpenDialog(Sample());
        EXPECT_EQ(RunInstall(&model->window), 0);
        EXPECT_EQ(Messages(model.get()), std::vector<std::string>{kInstalled});
        ExpectInstalled(Proposed("Sample"));
        EXPECT_EQ(Links(), (std::vector<std::string>{"common/Sample/Sample.lnk", "common/Sample/Uninstall.lnk",
                                                     "desktop/Sample.lnk"}));
        EXPECT_EQ(Remembered("SMP"), std::nullopt);
        // The next case is a first installation again.
        ASSERT_TRUE(std::filesystem::remove_all(Proposed("Sample")) > 0);
        ASSERT_TRUE(std::filesystem::remove_all(root.Join("common/Sample")) > 0);
        ASSERT_TRUE(std::filesystem::remove(root.Join("desktop/Sample.lnk")));
    }
}

// The store is cut off in the middle of being written, as a crash would leave
// it: the install still succeeds silently, the store stays readable with its
// old contents, and the next dialog proposes the folder remembered before.
TEST_F(FaultInstall, AStoreCutOffMidWriteStaysReadable) {
    auto first = OpenDialog(Sample());
    ASSERT_EQ(RunInstall(&first->window), 0);
    ASSERT_EQ(Remembered("SMP"), ProposedText("Sample"));
    const std::string other = root.Join("Other");
    for (int64_t crashAfter : {0, 1, 20, 60, 200}) {
        SCOPED_TRACE(crashAfter);
        auto model = OpenDialog(Sample());
        SetItemText(&model->window, kIdDestination, test::U16(other).c_str());
        {
            StoreCrash crash(crashAfter);
            EXPECT_EQ(RunInstall(&model->window), 0);
        }
        EXPECT_EQ(Messages(model.get()), std::vector<std::string>{kInstalled});
        ExpectInstalled(other);
        EXPECT_EQ(Remembered("SMP"), ProposedText("Sample"));
        auto next = OpenDialog(Sample());
        EXPECT_EQ(test::ControlText(next.get(), kIdDestination), ProposedText("Sample"));
    }
    auto last = OpenDialog(Sample());
    SetItemText(&last->window, kIdDestination, test::U16(other).c_str());
    EXPECT_EQ(RunInstall(&last->window), 0);
    EXPECT_EQ(Remembered("SMP"), other);
    EXPECT_EQ(UninstallName("Sample"), "Sample");
}

}  // namespace
