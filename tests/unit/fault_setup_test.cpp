// A setup that cannot be read, or ends early: a setup gone or replaced after
// the dialog opened, reads that fail inside the package, and the setup cut at
// every 4 KiB boundary of its package. Each is a failure code with its message,
// never success and never a crash, and nothing is registered.
#include <unistd.h>

#include "fault_test_machine.h"
#include "package/package_run.h"
#include "common/test_seams.h"

namespace {

const char kBroken[] = "Broken file, please download again.";

// Bytes no compressor can shrink, so the package is as long as its contents.
std::string Noise(size_t size) {
    std::string bytes;
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        bytes.push_back(static_cast<char>(x));
    }
    return bytes;
}

test::PackagePlan Sample() {
    test::PackagePlan plan;
    plan.productCode = "SMP";
    plan.windowClass = "SampleWindow";
    plan.files = {{"FILE_ID.DIZ", "Sample Version 1.0\r\n"},
                  {"a.dll", Noise(70000)},
                  {"Qsample.exe", Noise(9000)},
                  {"UnInst.exe", "uninstall"}};
    return plan;
}

// Reads of the setup fail from the n-th on, as a failing disk or network would.
int gReadsLeft = -1;
bool FailingRead(DiskFile file, void* buffer, uint32_t count, uint32_t* got) {
    if (gReadsLeft == 0) {
        *got = 0;
        return false;
    }
    if (gReadsLeft > 0) --gReadsLeft;
    return ReadDiskFile(file, buffer, count, got);
}

struct ReadSeam {
    explicit ReadSeam(int readsBeforeFailing) {
        gReadsLeft = readsBeforeFailing;
        gTestSeams.read = FailingRead;
    }
    ~ReadSeam() {
        gTestSeams = kNoTestSeams;
        gReadsLeft = -1;
    }
};

class FaultSetup : public test::Machine {
protected:
    void ExpectNothingRegistered() {
        EXPECT_EQ(Remembered("SMP"), std::nullopt);
        EXPECT_EQ(UninstallName("Sample"), std::nullopt);
        EXPECT_EQ(Links(), std::vector<std::string>{});
    }
};

struct UnreadableCase {
    const char* what;
    void (*spoil)(const std::string& setup);
    int readsBeforeFailing;  // -1: reads do not fail
    int32_t expected;
    const char* message;
};

void Remove(const std::string& setup) { ASSERT_EQ(unlink(setup.c_str()), 0); }
void FolderInstead(const std::string& setup) {
    Remove(setup);
    ASSERT_TRUE(test::MakeFolders(setup));
}
void Keep(const std::string&) {}

// The setup became unreadable between the scan and the install.
TEST_F(FaultSetup, AnUnreadableSetupFailsTheInstallWithItsMessage) {
    const UnreadableCase cases[] = {
        {"the setup is gone", Remove, -1, 2, "The system cannot find the file specified.\r\n"},
        {"a folder stands in its place", FolderInstead, -1, 5, "Access is denied.\r\n"},
        // Reads: the signature search's block, the stream header, then 64 KiB at a time.
        {"the signature search cannot read", Keep, 0, -1, kBroken},
        {"the stream header cannot be read", Keep, 1, -8, kBroken},
        {"the first compressed bytes cannot be read", Keep, 2, -8, kBroken},
        {"a read inside the stream fails", Keep, 3, -8, kBroken},
    };
    for (const UnreadableCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = OpenDialog(Sample());
        c.spoil(Setup());
        {
            ReadSeam seam(c.readsBeforeFailing);
            EXPECT_EQ(RunInstall(&model->window), c.expected);
        }
        EXPECT_EQ(Messages(model.get()), std::vector<std::string>{c.message});
        ExpectNothingRegistered();
        std::filesystem::remove_all(Setup());
    }
}

// An unreadable setup already fails the scan: the dialog then shows the
// broken-file message and closes, and no running window is looked for.
TEST_F(FaultSetup, AnUnreadableSetupFailsTheScan) {
    ASSERT_TRUE(test::MakeFolders(Setup()));
    CopyText(test::U16(Setup()).c_str(), gState->packagePath, 1024);
    auto model = CreateMainDialogModel();
    EXPECT_EQ(InitDialogContents(&model->window, nullptr), 5);
    EXPECT_EQ(gState->windowClass[0], 0);
    EXPECT_EQ(gState->productName[0], 0);
}

// The setup cut at every 4 KiB boundary of its package, from just before the
// signature to the last boundary inside it: every run fails with a package
// error and writes no file where it was not asked to; the install shows the
// broken-file message and registers nothing.
TEST_F(FaultSetup, ASetupCutAtEvery4KiBFailsEveryTime) {
    auto model = OpenDialog(Sample());
    std::string whole;
    ASSERT_TRUE(test::ReadWholeFile(Setup(), &whole));
    ASSERT_GT(whole.size(), kSearchStart + 65536u);
    size_t boundaries = 0;
    for (size_t cut = kSearchStart; cut < whole.size(); cut += 4096) {
        SCOPED_TRACE(cut - kSearchStart);
        ++boundaries;
        ASSERT_TRUE(test::WriteWholeFile(Setup(), whole.substr(0, cut)));
        test::TempFolder out;
        test::Recorder recorder;
        recorder.folder = out.Path();
        int32_t result = ProcessPackage(test::U16(Setup()).c_str(), test::RecordingCallback, &recorder);
        EXPECT_LT(result, 0);
        EXPECT_NE(result, -2);  // never for want of memory: the header is read, not trusted

        model->messages.clear();
        EXPECT_LT(RunInstall(&model->window), 0);
        EXPECT_EQ(Messages(model.get()), std::vector<std::string>{kBroken});
        ExpectNothingRegistered();
    }
    EXPECT_GE(boundaries, 17u);
    ASSERT_TRUE(test::WriteWholeFile(Setup(), whole));
    model->messages.clear();
    EXPECT_EQ(RunInstall(&model->window), 0);
}

}  // namespace
