// Base of the library's dialogs: a QDialog built in code from a dialog
// template's numbers. The dialog and each control carry their template id as
// objectName ("29003", "1", ...), positions are given in dialog units of the
// template's font, and the life cycle follows the Windows dialog: an
// initialisation once before the first show, a data exchange, OK and Cancel
// handlers, and a modal run that returns the code passed to EndDialog.
#pragma once

#include <QDialog>
#include <QSize>

#include <string>

#include "vexafol/export.h"
#include "vexafol/ui/message_box.h"  // IDOK, IDCANCEL

class QLabel;
class QPushButton;

namespace vexa {

class VEXA_UI_API DialogBase : public QDialog {
  Q_OBJECT

 public:
  // A dialog for template templateId (its objectName), parented to parent.
  // The font starts as "ＭＳ Ｐゴシック" 9, the face most templates name.
  explicit DialogBase(int templateId, QWidget* parent = nullptr);

  int TemplateId() const { return templateId_; }

  // Runs the dialog modally: initialises it (once), then returns the code
  // that ended it: IDOK from OnOK, IDCANCEL from OnCancel (Escape, closing the
  // window), or whatever EndDialog was given.
  int DoModal();
  // Runs OnInitDialog once; later calls do nothing. DoModal and Create call
  // it; call it directly to drive a dialog without a modal loop (tests).
  void InitDialog();
  // Initialises the dialog and shows it without a modal loop (modeless
  // windows and panels embedded in another dialog).
  void Create();
  // Ends the modal run (or hides a modeless dialog) with result.
  void EndDialog(int result);

  // Calls DoDataExchange(save); true when the exchange accepted the data.
  bool UpdateData(bool save = true);

  // The direct child control with template id id, or null.
  QWidget* GetDlgItem(int id) const;
  template <class Control>
  Control* Item(int id) const {
    return qobject_cast<Control*>(GetDlgItem(id));
  }

  // The template's font; dialog units follow it from then on.
  void SetTemplateFont(const std::string& face, int pointSize);
  // A template rectangle in dialog units, in pixels.
  QRect DluRect(int x, int y, int width, int height) const;
  // Sizes the dialog's client area to width x height dialog units.
  void SetTemplateSize(int width, int height);

  // Makes control a child of the dialog at the template rectangle (dialog
  // units) and names it id (no name for id -1, as for static labels).
  // Returns control.
  template <class Control>
  Control* Place(Control* control, int id, int x, int y, int width, int height) {
    PlaceWidget(control, id, x, y, width, height);
    return control;
  }
  // A push button; id 1 runs OnOK and id 2 runs OnCancel when clicked.
  QPushButton* AddButton(int id, const std::string& text, int x, int y, int width, int height);
  // A static text.
  QLabel* AddLabel(int id, const std::string& text, int x, int y, int width, int height);

 protected:
  // Initialisation before the first show. The base exchanges the data into
  // the controls (UpdateData(false)); overrides call it first.
  virtual bool OnInitDialog();
  // Moves data between members and controls: save true reads the controls.
  // Return false to refuse the data (OnOK then keeps the dialog open).
  virtual bool DoDataExchange(bool save);
  // OK (button 1, Return where no button has the focus): UpdateData(true),
  // then EndDialog(IDOK).
  virtual void OnOK();
  // Cancel (button 2, Escape, closing the window): EndDialog(IDCANCEL).
  virtual void OnCancel();

  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  void PlaceWidget(QWidget* control, int id, int x, int y, int width, int height);

  int templateId_;
  QSize baseUnits_;
  bool initialised_ = false;
};

}  // namespace vexa
