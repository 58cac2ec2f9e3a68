#include "ui/message_dialog.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include "platform/program_paths.h"

namespace vpk::ui {

namespace {

constexpr int kLineX = 65;
constexpr int kLineWidth = 280;
constexpr int kLineHeight = 13;
constexpr std::array<int, 6> kLineY = {8, 22, 37, 51, 66, 80};
constexpr int kUpperHeight = 100;
constexpr int kLowerHeight = 41;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;

QLabel* IconPicture(QWidget* parent, const char* objectName, const char* file) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(objectName);
    picture->setGeometry(0, 0, 32, 32);
    picture->setPixmap(QPixmap(QString::fromStdString(ProgramFolderHost()) + "/" + file));
    picture->hide();
    return picture;
}

}  // namespace

TDlg2Btn::TDlg2Btn(QWidget* parent) : QDialog(parent) {
    setObjectName("Dlg2Btn");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setFixedSize(kWidth, kFullHeight);

    upper_ = new QWidget(this);
    upper_->setObjectName("PnUp");
    upper_->setGeometry(0, 0, kWidth, kUpperHeight);
    iconPanel_ = new QWidget(upper_);
    iconPanel_->setObjectName("PnIcon");
    iconPanel_->setGeometry(8, 10, 32, 32);
    imgAsk_ = IconPicture(iconPanel_, "ImgAsk", "DlgAsk.png");
    imgWar_ = IconPicture(iconPanel_, "ImgWar", "DlgWarning.png");
    imgNoWay_ = IconPicture(iconPanel_, "ImgNoWay", "DlgNoWay.png");

    // Thirteen-pixel lines: a font sized in pixels keeps descenders inside them on every screen.
    QFont lineFont = font();
    lineFont.setPixelSize(11);
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(upper_);
        label->setObjectName(QString("Label%1").arg(i + 1));
        label->setGeometry(kLineX, kLineY[i], kLineWidth, kLineHeight);
        label->setFont(lineFont);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        labels_[i] = label;
    }

    lower_ = new QWidget(this);
    lower_->setObjectName("PnDown");
    for (int count = 1; count <= 4; ++count) {
        auto* row = new QWidget(lower_);
        row->setObjectName(QString("P%1").arg(count));
        const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
        row->setGeometry((kWidth - rowWidth) / 2, (kLowerHeight - kButtonHeight) / 2, rowWidth,
                         kButtonHeight);
        for (int b = 1; b <= count; ++b) {
            auto* button = new QPushButton(row);
            button->setObjectName(QString("Btn%1%2").arg(count).arg(b));
            button->setGeometry((b - 1) * (kButtonWidth + kButtonGap), 0, kButtonWidth, kButtonHeight);
            connect(button, &QPushButton::clicked, this, [this, b] { Press(b); });
            rowButtons_[count - 1][b - 1] = button;
        }
        row->hide();
        rows_[count - 1] = row;
    }
}

void TDlg2Btn::Setup(const Dlg2BtnTexts& texts) {
    bool ok = false;
    const int count = texts.count.toInt(&ok);
    rowCount_ = ok && count >= 1 && count <= 4 ? count : 1;
    for (int i = 0; i < 4; ++i) rows_[i]->setVisible(i + 1 == rowCount_);

    labels_[0]->setVisible(true);
    for (int i = 1; i < 6; ++i) labels_[i]->setVisible(!texts.lines[i].isEmpty());

    const bool noLowerLines = texts.lines[2].isEmpty() && texts.lines[3].isEmpty() &&
                              texts.lines[4].isEmpty() && texts.lines[5].isEmpty();
    int upperHeight = kUpperHeight;
    int iconY = 10;
    int height = kFullHeight;
    if (noLowerLines) {
        upperHeight = 40;
        iconY = 8;
        height = kTwoLineHeight;
    } else if (!texts.lines[3].isEmpty() && texts.lines[4].isEmpty() && texts.lines[5].isEmpty()) {
        upperHeight = 70;
        iconY = 20;
        height = kFourLineHeight;
    }
    upper_->setGeometry(0, 0, kWidth, upperHeight);
    iconPanel_->move(8, iconY);
    lower_->setGeometry(0, height - kLowerHeight, kWidth, kLowerHeight);
    setFixedSize(kWidth, height);

    setWindowTitle(texts.caption);
    for (int i = 0; i < 6; ++i) labels_[i]->setText(texts.lines[i]);
    // Caption n goes to button n of every row that has one.
    for (int row = 0; row < 4; ++row) {
        for (int b = 0; b <= row; ++b) rowButtons_[row][b]->setText(texts.buttons[b]);
    }
    imgAsk_->setVisible(texts.icon == "?");
    imgWar_->setVisible(texts.icon == "!");
    imgNoWay_->setVisible(texts.icon == "#");
    edit1_.clear();
    rowButtons_[rowCount_ - 1][0]->setDefault(true);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, height / 2));
    }
}

void TDlg2Btn::Press(int number) {
    edit1_ = QString::number(number);
    accept();
}

int TDlg2Btn::Result() const {
    bool ok = false;
    const int number = edit1_.toInt(&ok);
    return ok ? number : rowCount_;
}

int ShowDlg2Btn(const Dlg2BtnTexts& texts, QWidget* parent) {
    TDlg2Btn dialog(parent);
    dialog.Setup(texts);
    dialog.exec();
    return dialog.Result();
}

}  // namespace vpk::ui
