#pragma once
// A label showing a path that is shortened to fit its width the way the system's shells do: the drive
// and the last components stay, the middle gives way to "...": "C:\...\Photos\0307Docs.zip".
#include <QLabel>
#include <functional>

namespace vpk::ui {

// Shortens a Windows path until fits(text) holds; the file name alone (then cut at its end) is the
// last resort.
QString ShortenPath(const QString& path, const std::function<bool(const QString&)>& fits);

class PathLabel : public QLabel {
    Q_OBJECT
  public:
    explicit PathLabel(QWidget* parent = nullptr);
    void SetPath(const QString& path);  // the whole path stays the tooltip
    QString Path() const { return path_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Refit();
    QString path_;
};

}  // namespace vpk::ui
