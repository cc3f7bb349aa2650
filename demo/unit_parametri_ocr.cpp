#include "demo/unit_parametri_ocr.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>

#include "demo/radio_group.h"

namespace omniocr::demo {

namespace {

constexpr int kDialogFontPixels = 11;

}  // namespace

TOCRDialog::TOCRDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Omnifont OCR"));
  setModal(true);
  setFixedSize(464, 280);
  // The controls have fixed places and sizes; a compact font keeps every
  // caption inside its control.
  QFont compact = font();
  compact.setPixelSize(kDialogFontPixels);
  setFont(compact);
  Bevel1 = new QFrame(this);
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(8, 8, 445, 225);
  CreateChoiceGroups();
  CreateCheckBoxes();
  CreateSpotRemovalGroup();
  CreateButtons();
}

void TOCRDialog::CreateChoiceGroups() {
  RadioGroupArea = new TRadioGroup(QStringLiteral("Area Type"),
                                   {QStringLiteral("Character"), QStringLiteral("Word"),
                                    QStringLiteral("Text Line"), QStringLiteral("Paragraph")},
                                   this);
  RadioGroupArea->setGeometry(20, 20, 117, 97);
  RadioGroupArea->SetItemIndex(acParagraph);

  RadioGroupContent = new TRadioGroup(
      QStringLiteral("Content"),
      {QStringLiteral("Numeric"), QStringLiteral("Uppercase Letters"), QStringLiteral("Lowercase Letters"),
       QStringLiteral("Letters"), QStringLiteral("Alphanumeric")},
      this);
  RadioGroupContent->setGeometry(148, 20, 141, 121);
  RadioGroupContent->SetItemIndex(ccAlphanumeric);

  RadioGroupQuality =
      new TRadioGroup(QStringLiteral("Text Quality"),
                      {QStringLiteral("Good"), QStringLiteral("Dot Matrix"), QStringLiteral("Fax")}, this);
  RadioGroupQuality->setGeometry(20, 128, 117, 93);
  RadioGroupQuality->SetItemIndex(qcGood);
}

void TOCRDialog::CreateCheckBoxes() {
  const auto checked = [this](const QString& caption, int top) {
    auto* box = new QCheckBox(caption, this);
    box->setGeometry(144, top, 145, 17);
    box->setChecked(true);
    return box;
  };
  CheckBoxSplit = checked(QStringLiteral("Split Touching Chars"), 164);
  CheckBoxCompare = checked(QStringLiteral("Symilarity Correction"), 184);
  CheckBoxContextCorrection = checked(QStringLiteral("Context Correction"), 204);
}

void TOCRDialog::CreateSpotRemovalGroup() {
  GroupBoxNoiseRemoval = new QGroupBox(QStringLiteral("Spot Removal"), this);
  GroupBoxNoiseRemoval->setGeometry(300, 20, 141, 121);
  QWidget* group = GroupBoxNoiseRemoval;
  const auto radio = [group](const QString& caption, int top) {
    auto* button = new QRadioButton(caption, group);
    button->move(8, top);
    button->adjustSize();
    return button;
  };
  RadioButtonNrNone = radio(QStringLiteral("None"), 16);
  RadioButtonNrSmart = radio(QStringLiteral("Smart"), 36);
  RadioButtonNRAlways = radio(QStringLiteral("Always"), 56);
  RadioButtonNRAlways->setChecked(true);
  Label1 = new QLabel(QStringLiteral("Max Spot Size"), group);
  Label1->move(8, 80);
  Label1->adjustSize();
  SpinEditMaxSpotSize = new QSpinBox(group);
  SpinEditMaxSpotSize->setGeometry(88, 76, 45, 22);
  SpinEditMaxSpotSize->setRange(-1, 99);
  SpinEditMaxSpotSize->setValue(8);
  Label2 = new QLabel(QStringLiteral("(-1 = automatic)"), group);
  Label2->move(60, 100);
  QFont note = Label2->font();  // the hint must fit the 81 pixels right of its place
  note.setPixelSize(kDialogFontPixels - 1);
  Label2->setFont(note);
  Label2->adjustSize();
}

void TOCRDialog::CreateButtons() {
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setGeometry(284, 244, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  Button2 = new QPushButton(QStringLiteral("Cancel"), this);
  Button2->setGeometry(376, 244, 75, 25);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TOCRChoices TOCRDialog::Choices() const {
  TOCRChoices choices;
  choices.Area = RadioGroupArea->ItemIndex();
  choices.Content = RadioGroupContent->ItemIndex();
  choices.Quality = RadioGroupQuality->ItemIndex();
  choices.SpotRemovalNone = RadioButtonNrNone->isChecked();
  choices.SpotRemovalSmart = RadioButtonNrSmart->isChecked();
  choices.MaxSpotSize = SpinEditMaxSpotSize->value();
  choices.SplitTouching = CheckBoxSplit->isChecked();
  choices.SimilarityCorrection = CheckBoxCompare->isChecked();
  choices.ContextCorrection = CheckBoxContextCorrection->isChecked();
  return choices;
}

void TOCRDialog::showEvent(QShowEvent* event) {
  CentreOnScreen();
  QDialog::showEvent(event);
}

void TOCRDialog::CentreOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace omniocr::demo
