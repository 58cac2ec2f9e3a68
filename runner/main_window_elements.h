#pragma once
// The elements of the backup program's main window that the runner writes to, as plain values. The
// identifiers are the control names, so the Qt window finds each control by objectName.
#include <cstddef>
#include <string>
#include <vector>

namespace vpk {

enum class LabelId {
    Lb3dRep,          // source label: fixed caption; tooltip holds Comment, then the run summary
    LbFileRep2Sav,    // source path: SourceSpec or a status text
    LbFileDest,       // destination path: DestArchive (with its size after a run) or a status text
    Lb3dExplo,        // free space of the destination drive or size of the destination folder
    LbFileBgZipd,     // progress group: the file being archived
    Lb3dFinalInfos,   // progress group: the final message
    LbFileNbProcess,  // progress group: the file counter "done/total"
    LabelInfo,        // the current step
    LbError,          // label of the error list
    LbFileInUse,      // label of the in-use list
};
inline constexpr int LabelCount = 10;

enum class ListId {
    ListBox1,  // error lines
    ListBox2,  // files that were in use
    ListBox3,  // step lines (shown instead of the progress group when the progress view is off)
};
inline constexpr int ListCount = 3;

enum class PictureId {
    Image1,  // animation picture of the progress group
    Image2,  // icon given to self-extracting archives
    Image3,  // logo, interactive mode
};
inline constexpr int PictureCount = 3;

// Containers whose visibility the runner switches.
enum class PanelId {
    VisuZippage,  // progress group
    P2,           // right-hand panel (memo and button panels)
};
inline constexpr int PanelCount = 2;

struct LabelElement {
    std::string text;
    std::string tooltip;
    bool visible = true;
};

struct ListElement {
    std::vector<std::string> lines;
    std::string tooltip;
    bool visible = true;
};

// How a list or the memo changed: one line appended (the last one), or the whole content replaced
// (cleared included). A view that only appends can ignore the content on Appended.
enum class ListEdit { Appended, Replaced };

struct ProgressElement {  // ProgressBar1
    int position = 0;
    int maximum = 1001;
    bool visible = false;
};

struct PictureElement {
    std::string file;  // host-independent path of the picture or icon file; empty = none
    int index = 0;     // icon number inside an icon file
    bool animated = false;
    bool visible = true;
};

struct PanelElement {
    bool visible = true;
};

struct DestinationBoxElement {  // ComboPath
    std::string text;
    std::vector<std::string> entries;  // history list
    std::size_t caret = 0;
    std::string tooltip;
};

struct WindowElement {             // the form itself
    std::string caption;           // window caption
    std::string applicationTitle;  // task bar title (the file counter while archiving)
    bool shown = false;            // the main window and the application are visible
    int width = 400;
    int height = 215;
};

}  // namespace vpk
