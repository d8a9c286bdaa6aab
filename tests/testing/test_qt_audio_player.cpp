#include "testing/QtAudioPlayer.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvj;

// The machine may or may not have a sound device; either way the player reports what it can
// do through its error number instead of failing later.
TEST(QtAudioPlayer, ReportsAMissingDeviceOrAnUnreadableFile) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Inst0.wav"));
    QtAudioPlayer player;
    EXPECT_FALSE(player.open(missing));
    EXPECT_EQ(player.errorNumber(), 2) << "nothing opens before the device is prepared";
    if (!player.prepare()) {
        EXPECT_EQ(player.errorNumber(), 1);
        EXPECT_FALSE(player.errorDescription().isEmpty());
        return;
    }
    EXPECT_EQ(player.errorNumber(), 0);
    EXPECT_FALSE(player.open(missing));
    EXPECT_EQ(player.errorNumber(), 3);
    EXPECT_TRUE(player.errorDescription().contains(QStringLiteral("Inst0.wav")));
    EXPECT_TRUE(player.stop());
    player.close();
}
