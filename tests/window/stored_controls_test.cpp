// The speed and the step back kept between runs in the settings file: written by one run and
// read by the next, left at their defaults (and logged) when the file holds nonsense, and the
// file's other settings left as they are.

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include "CategoryWarnings.h"
#include "StoredControls.h"
#include "WindowFixture.h"

// The program's own category; its definition lives with the program's main parts.
Q_LOGGING_CATEGORY(lcApp, "pellucor.app")

namespace {

class StoredFile : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void fill(const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QTemporaryDir folder;
    QString path = folder.filePath("pellucor.conf");
};

TEST_F(StoredFile, KeepsThePedalsSettingAndStoresNothingElse) {
    fill("[pedals]\nmiddle=toggle\n");
    ASSERT_TRUE(StoredControls(path).write({1.5, 0.0}));
    const QSettings settings(path, QSettings::IniFormat);
    EXPECT_EQ(settings.allKeys(),
              (QStringList{"controls/speed", "controls/step_back", "pedals/middle"}));
    EXPECT_EQ(settings.value("pedals/middle").toString(), "toggle");
}

TEST_F(StoredFile, NoFileGivesTheDefaultsWithoutAWord) {
    const CategoryWarnings warnings("pellucor.app");
    const StoredControls::Values read = StoredControls(path).read();
    EXPECT_EQ(read.speed, 1.0);
    EXPECT_EQ(read.stepBack, 0.0);
    EXPECT_EQ(warnings.count(), 0);
}

TEST_F(StoredFile, AFileThatCannotBeWrittenIsLogged) {
    const CategoryWarnings warnings("pellucor.app");
    // A folder where the file should be: nothing can be written there.
    ASSERT_TRUE(QDir(folder.path()).mkdir("pellucor.conf"));
    EXPECT_FALSE(StoredControls(path).write({0.75, 1.0}));
    EXPECT_GE(warnings.count(), 1);
}

struct Broken {
    const char* name;
    QByteArray text;
    double speed;
    double stepBack;
    int warnings;
};

class BrokenFile : public StoredFile, public testing::WithParamInterface<Broken> {};

// Each value that makes no sense is logged and starts at its default; a good one beside it stays.
TEST_P(BrokenFile, GivesTheDefaultsAndIsLogged) {
    fill(GetParam().text);
    const CategoryWarnings warnings("pellucor.app");
    const StoredControls::Values read = StoredControls(path).read();
    EXPECT_EQ(read.speed, GetParam().speed);
    EXPECT_EQ(read.stepBack, GetParam().stepBack);
    EXPECT_EQ(warnings.count(), GetParam().warnings);
}

INSTANTIATE_TEST_SUITE_P(
    , BrokenFile,
    testing::Values(Broken{"SpeedNoNumber", "[controls]\nspeed=fast\nstep_back=1.5\n", 1.0, 1.5, 1},
                    Broken{"SpeedTooFast", "[controls]\nspeed=3\n", 1.0, 0.0, 1},
                    Broken{"SpeedTooSlow", "[controls]\nspeed=0.1\nstep_back=2\n", 1.0, 2.0, 1},
                    Broken{"SpeedNaN", "[controls]\nspeed=nan\n", 1.0, 0.0, 1},
                    Broken{"StepBackTooLong", "[controls]\nspeed=0.75\nstep_back=6\n", 0.75, 0.0,
                           1},
                    Broken{"StepBackNegative", "[controls]\nstep_back=-1\n", 1.0, 0.0, 1},
                    Broken{"BothNonsense", "[controls]\nspeed=\nstep_back=x\n", 1.0, 0.0, 2},
                    Broken{"BinaryGarbage", QByteArray("\x00\xff\x13[[=\n\xfe", 8), 1.0, 0.0, 0}),
    byName);

using KeptControls = WindowFixture;

// The window starts as the last run left it, and what the user changes is there for the next.
TEST_F(KeptControls, TheWindowStartsWithThemAndKeepsItsChanges) {
    const QTemporaryDir folder;
    const QString path = folder.filePath("pellucor.conf");
    ASSERT_TRUE(StoredControls(path).write({0.75, 1.5}));
    StoredControls(path).keep(*window);
    EXPECT_EQ(window->speed(), 0.75);
    EXPECT_EQ(window->stepBackOnResume(), 1.5);

    window->faster_Click();
    ui().step_back->setValue(3.0);
    const StoredControls::Values next = StoredControls(path).read();
    EXPECT_DOUBLE_EQ(next.speed, 0.8);
    EXPECT_EQ(next.stepBack, 3.0);
}

}  // namespace
