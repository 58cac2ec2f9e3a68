#pragma once
// The progress bar of the archive step: 0 to 1001, set to 1 at each new file and to 0 at the end of a
// batch; no percentage text, as the file counter beside it says how far the run is.
#include <QProgressBar>

namespace vpk::ui {

class ZipProgressBar : public QProgressBar {
  public:
    static constexpr int kMaximum = 1001;
    explicit ZipProgressBar(QWidget* parent = nullptr) : QProgressBar(parent) {
        setRange(0, kMaximum);
        setTextVisible(false);
    }
};

}  // namespace vpk::ui
