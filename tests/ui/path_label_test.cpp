#include "ui/path_label.h"

#include <gtest/gtest.h>

#include "ui/blinking_label.h"

namespace vpk::ui {
namespace {

TEST(PathLabelTest, ShortensFromTheMiddleKeepingDriveAndName) {
    const QString path = "C:\\Documents\\Comptes\\2026\\Decembre\\0712Comptes.zip";
    auto upTo = [](int n) { return [n](const QString& s) { return s.size() <= n; }; };
    const struct {
        int room;
        const char* expected;
    } cases[] = {
        {100, "C:\\Documents\\Comptes\\2026\\Decembre\\0712Comptes.zip"},
        {40, "C:\\...\\2026\\Decembre\\0712Comptes.zip"},
        {31, "C:\\...\\Decembre\\0712Comptes.zip"},
        {22, "C:\\...\\0712Comptes.zip"},
        {19, "...\\0712Comptes.zip"},
        {10, "0712Com..."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortenPath(path, upTo(c.room)).toStdString(), c.expected) << c.room;
    }
    EXPECT_EQ(ShortenPath("A:\\", upTo(2)).toStdString(), "...") << "nothing fits: never loops";
}

TEST(PathLabelTest, LabelKeepsTheWholePathAsTooltip) {
    PathLabel label;
    label.resize(60, 15);
    label.SetPath("C:\\Documents\\Comptes\\2026\\0712Comptes.zip");
    EXPECT_EQ(label.toolTip(), label.Path());
    EXPECT_NE(label.text(), label.Path());
    EXPECT_TRUE(label.text().contains("..."));
}

TEST(BlinkingLabelTest, StopsWithTheTextShown) {
    BlinkingLabel label(nullptr, 10);
    label.setText("Insert disk");
    label.SetBlinking(true);
    EXPECT_TRUE(label.Blinking());
    label.SetBlinking(false);
    EXPECT_FALSE(label.Blinking());
    EXPECT_TRUE(label.TextShown());
}

}  // namespace
}  // namespace vpk::ui
