// The speed on the whole program: `pellucor --speed`, `--faster` and a refused speed reach the
// running window (read back through the media-player interface's Rate), and the speed is there
// again after the program has been closed and started anew.
#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>

#include "ProgramOnTheBus.h"
#include "QtSupport.h"

namespace {

bool rateBecomes(const char* value) {
    return waitFor(
        [&] { return mprisProperty("Rate").out.contains(QStringLiteral("double ") + value); },
        10000);
}

// The settings go to a folder of the test's own, never the user's.
class KeptSpeed : public ProgramOnTheBus {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        launch(environment);
    }
    QString stored(const char* key) const {
        return QSettings(config.filePath("pellucor/pellucor.conf"), QSettings::IniFormat)
            .value(key)
            .toString();
    }
    QTemporaryDir config;
};

TEST_F(KeptSpeed, TheRemoteSetsItAndTheNextRunStartsWithIt) {
    ASSERT_TRUE(rateBecomes("1"));
    const Finished set = runToEnd(PELLUCOR_EXE, {"--speed", "0.75"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    ASSERT_TRUE(rateBecomes("0.75"));

    const Finished refused = runToEnd(PELLUCOR_EXE, {"--speed", "2.5"});
    EXPECT_EQ(refused.exitCode, 2);
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--faster"}).exitCode, 0);
    ASSERT_TRUE(rateBecomes("0.8"));
    EXPECT_EQ(stored("controls/speed"), "0.8");
    EXPECT_EQ(stored("controls/step_back"), "0");

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(15000));
    start();
    ASSERT_TRUE(activate(program)) << "the window never came back";
    EXPECT_TRUE(rateBecomes("0.8")) << log().toStdString();
}

}  // namespace
