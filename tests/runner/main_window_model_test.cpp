#include "runner/main_window_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runner/console_view.h"

namespace vpk {
namespace {

struct Recorder : MainWindowListener {
    std::vector<std::string> events;
    void OnLabel(LabelId id, const LabelElement& label) override {
        events.push_back("label " + std::to_string(static_cast<int>(id)) + " " + label.text + "|" +
                         label.tooltip);
    }
    void OnList(ListId id, ListEdit edit, const ListElement& list) override {
        events.push_back("list " + std::to_string(static_cast<int>(id)) +
                         (edit == ListEdit::Appended ? " + " : " = ") + std::to_string(list.lines.size()));
    }
    void OnLog(ListEdit edit, const std::vector<std::string>& lines) override {
        events.push_back(std::string("log") + (edit == ListEdit::Appended ? " + " : " = ") +
                         std::to_string(lines.size()));
    }
};

TEST(MainWindowModelTest, EveryWriteReachesEachListenerOnceWithTheNewValue) {
    MainWindowModel model;
    Recorder a, b;
    model.AddListener(&a);
    model.AddListener(&a);  // registering twice must not double the notifications
    model.AddListener(&b);
    model.SetLabel(LabelId::LbFileDest, "C:\\1503Docs.zip");
    model.SetTooltip(LabelId::LbFileDest, "tip");
    model.AddLine(ListId::ListBox1, "error");
    model.ClearList(ListId::ListBox1);
    model.AddLogLine("line");
    model.SetLogLines({});
    model.RemoveListener(&b);
    model.AddLine(ListId::ListBox3, "step");

    const std::vector<std::string> expected = {"label 2 C:\\1503Docs.zip|",
                                               "label 2 C:\\1503Docs.zip|tip",
                                               "list 0 + 1",
                                               "list 0 = 0",
                                               "log + 1",
                                               "log = 0"};
    std::vector<std::string> expectedA = expected;
    expectedA.push_back("list 2 + 1");
    EXPECT_EQ(a.events, expectedA);
    EXPECT_EQ(b.events, expected);
    EXPECT_EQ(model.Label(LabelId::LbFileDest).tooltip, "tip");
    EXPECT_TRUE(model.Lines(ListId::ListBox1).empty());
}

TEST(MainWindowModelTest, ProgressStaysWithinItsRange) {
    MainWindowModel model;
    model.SetProgress(5000);
    EXPECT_EQ(model.Progress().position, 1001);
    model.SetProgress(-3);
    EXPECT_EQ(model.Progress().position, 0);
}

std::string ReadAll(std::FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, f)) text += buffer;
    return text;
}

TEST(ConsoleViewTest, PrintsStepsOnceAndErrorsApart) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    {
        MainWindowModel model;
        ConsoleView view(out, err);
        model.AddListener(&view);
        model.SetLabel(LabelId::LabelInfo, "Compressing");
        model.SetLabel(LabelId::LabelInfo, "Compressing");  // a repeat is not a new step
        model.SetLabel(LabelId::LabelInfo, " ");            // cleared between steps: nothing printed
        model.SetLabel(LabelId::LbFileBgZipd, "a.txt");     // per-file noise stays off the console
        model.AddLine(ListId::ListBox3, "Docs: building");
        model.AddLine(ListId::ListBox1, "10104 cannot open");
        model.SetCaption("Finished");
        model.SetCaption("Finished");
        model.SetLabel(LabelId::Lb3dFinalInfos, "Backup done");
    }
    EXPECT_EQ(ReadAll(out), "Compressing\nDocs: building\n[Finished]\nBackup done\n");
    EXPECT_EQ(ReadAll(err), "10104 cannot open\n");
    std::fclose(out);
    std::fclose(err);
}

}  // namespace
}  // namespace vpk
