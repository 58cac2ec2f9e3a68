#pragma once
// The programs' own message dialog: a caption, one of three icons, up to six text lines and a row of one
// to four buttons; it answers the number of the button pressed (1 = leftmost).
//
// Layout (client pixels): 366 wide; an upper panel 100 high with six 280×13 lines at x 65,
// y 8/22/37/51/66/80 and the icon panel at (8, 10); a lower panel 41 high with the button rows P1–P4 of
// 75×25 buttons. The height adapts to the lines used: 115 when lines 3–6 are empty, 135 when line 4 is
// the last one set, 144 otherwise. Always on top, centred on the screen.
#include <QDialog>
#include <QString>
#include <array>

class QLabel;
class QPushButton;
class QWidget;

namespace vpk::ui {

struct Dlg2BtnTexts {
    QString caption;
    QString icon;  // "?" question, "!" warning, "#" forbidden, else none
    std::array<QString, 6> lines;
    std::array<QString, 4> buttons;
    QString count;  // "1".."4"; anything else means 1
};

class TDlg2Btn : public QDialog {
    Q_OBJECT
  public:
    explicit TDlg2Btn(QWidget* parent = nullptr);
    void Setup(const Dlg2BtnTexts& texts);
    // The number of the button pressed; closing by the close box (or Esc) presses no button and answers
    // the row's last button, which every caller treats as cancel.
    int Result() const;
    int RowCount() const { return rowCount_; }

    static constexpr int kWidth = 366;
    static constexpr int kFullHeight = 144;
    static constexpr int kFourLineHeight = 135;
    static constexpr int kTwoLineHeight = 115;

  private:
    void Press(int number);
    QWidget* upper_ = nullptr;
    QWidget* lower_ = nullptr;
    QWidget* iconPanel_ = nullptr;
    std::array<QLabel*, 6> labels_{};
    QLabel* imgAsk_ = nullptr;
    QLabel* imgWar_ = nullptr;
    QLabel* imgNoWay_ = nullptr;
    std::array<QWidget*, 4> rows_{};
    std::array<std::array<QPushButton*, 4>, 4> rowButtons_{};
    QString edit1_;  // the pressed button's number, as the dialog's result box holds it
    int rowCount_ = 1;
};

// Creates a fresh dialog, shows it modally and answers the button number.
int ShowDlg2Btn(const Dlg2BtnTexts& texts, QWidget* parent = nullptr);

}  // namespace vpk::ui
