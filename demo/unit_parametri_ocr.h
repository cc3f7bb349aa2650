#pragma once

// TOCRDialog: the modal dialog in which the user chooses the recognition
// parameters before every OCR command. It is created once and reused, so
// every choice stays as the user left it.

#include <QDialog>

#include "demo/ocr_parameters.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace omniocr::demo {

class TRadioGroup;

class TOCRDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TOCRDialog(QWidget* parent = nullptr);

  // The choices as the controls hold them now.
  TOCRChoices Choices() const;

  QFrame* Bevel1;
  TRadioGroup* RadioGroupArea;
  TRadioGroup* RadioGroupContent;
  TRadioGroup* RadioGroupQuality;
  QCheckBox* CheckBoxSplit;
  QCheckBox* CheckBoxCompare;
  QCheckBox* CheckBoxContextCorrection;
  QGroupBox* GroupBoxNoiseRemoval;
  QRadioButton* RadioButtonNrNone;
  QRadioButton* RadioButtonNrSmart;
  QRadioButton* RadioButtonNRAlways;
  QLabel* Label1;
  QSpinBox* SpinEditMaxSpotSize;
  QLabel* Label2;
  QPushButton* Button1;
  QPushButton* Button2;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateChoiceGroups();
  void CreateCheckBoxes();
  void CreateSpotRemovalGroup();
  void CreateButtons();
  void CentreOnScreen();
};

}  // namespace omniocr::demo
