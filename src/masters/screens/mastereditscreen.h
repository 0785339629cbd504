#pragma once

#include "masters/masterdef.h"
#include "masters/masterrecord.h"

#include <QDialog>

namespace Ui {
class MasterEditScreen;
}
class FormBehaviour;
class QLineEdit;

// The edit screen of one master (frmPNoMnt2, ...): adds a record
// (gEditMode 1) or changes the one whose code is gSelKey (2). Adding an
// existing code turns, after a question, into overwriting that record.
// After a save it reloads its list screen and closes.
class MasterEditScreen : public QDialog {
    Q_OBJECT
  public:
    // list: the list screen beneath, refreshed after a save.
    MasterEditScreen(const MasterDef& def, QWidget* list);
    ~MasterEditScreen() override;

  private:
    void buildFields(FormBehaviour& behaviour);
    void load();
    void showRecord(const MasterRecord& record);
    MasterRecord typed() const;
    QLineEdit* box(const MasterField& field) const;
    bool requiredFieldsFilled();
    enum class Outcome { Saved, Failed, Stopped };
    void cmdUpdClick();
    Outcome add();
    Outcome edit();
    // Shows a failure of the logic layer.
    Outcome report(const QString& text);

    const MasterDef& m_def;
    QWidget* m_list;
    Ui::MasterEditScreen* ui;
};
