// A machine, or a Wine, that cannot run the game's 32-bit programs: the
// window says so in words before the interpreter's own. Wine's loaders are
// stand-ins that fail the way each case fails: a 32-bit loader the kernel
// refuses ("Exec format error"), and a Wine with no 32-bit part at all.
#include "guisupport.h"

#include <QDir>

namespace vorn::test {
namespace {

// A 32-bit Windows program as far as its header goes.
const QByteArray kProgram32 = "MZ" + QByteArray(0x3a, '\0') +
                              QByteArray("\x40\0\0\0PE\0\0\x4c\x01", 10) + QByteArray(64, '\0');

class ThirtyTwoBitTest : public WindowTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        VORN_SKIP_ON_WINDOWS("cmd.exe starts the programs itself");
        WindowTest::SetUp();
        const QString loaders = demo->drive(QStringLiteral("loaders"));
        QDir().mkpath(loaders);
        qputenv("VORN_WINE_LOADER_DIR", loaders.toUtf8());
        const auto loader = [&](const QString& name, const QByteArray& bytes) {
            DemoInstall::write(loaders + name, bytes);
            QFile::setPermissions(loaders + name,
                                  QFile::permissions(loaders + name) | QFileDevice::ExeOwner);
        };
        loader("/wine64", "#!/bin/sh\nexit 0\n");
        // A 32-bit loader the kernel refuses: no program of this machine.
        if (refused())
            loader("/wine", "not a program of this machine\n");
        for (const char* name : {"hl.exe", "hlds.exe", "ripent.exe"})
            DemoInstall::write(demo->game(QString::fromLatin1(name)), kProgram32);
    }
    void TearDown() override {
        qunsetenv("VORN_WINE_LOADER_DIR");
        WindowTest::TearDown();
    }
    bool refused() const { return GetParam(); }
    QString why() const {
        return QStringLiteral("this machine cannot run 32-bit Windows programs") +
               (refused() ? QStringLiteral(" (Wine's 32-bit part does not start). ")
                          : QStringLiteral(" (Wine has no 32-bit part; install wine32). "));
    }
    QString interpreterWords() const {
        return refused() ? QStringLiteral("Exec format error") : QStringLiteral("wine32:i386");
    }
};

TEST_P(ThirtyTwoBitTest, StartAndTheEntityExportSayWhyTheProgramCannotRun) {
    // The entity export of a dod map.
    openStep("optMapFile");
    clickListItem("lstMapList", "dod_caen");
    click("chkClassLimit");
    expectError(QStringLiteral("Error: The entity tool failed: ") + why());
    EXPECT_TRUE(status().contains(interpreterWords())) << status().toStdString();
    // The user is asked whether to go on without the country.
    EXPECT_EQ(seam.boxes.size(), 1u);

    // The server start.
    chooseMod("valve");
    confirmAllSteps();
    click("cmdStart");
    expectError(QStringLiteral("Error: The server start failed: ") + why());
    EXPECT_TRUE(status().contains(interpreterWords())) << status().toStdString();
}

INSTANTIATE_TEST_SUITE_P(, ThirtyTwoBitTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "TheKernelRefusesThe32BitLoader" : "WineHasNo32BitPart";
});

} // namespace
} // namespace vorn::test
