#pragma once
// A label whose text gives way in the middle when the label is too narrow ("Espace li…( 66448 Mo )"):
// the start says what it is, the end holds the figure. The whole text stays in the tooltip.
#include <QLabel>

namespace vpk::ui {

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void SetFullText(const QString& text);
    QString FullText() const { return full_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Refit();
    QString full_;
};

}  // namespace vpk::ui
