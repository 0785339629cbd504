#pragma once

#include "core/editmode.h"
#include "core/screens/screen.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"

#include <memory>

namespace Ui {
class MasterEditScreen;
}
class FormBehaviour;
class MasterListScreen;
class QLineEdit;

// The edit screen of one master (frmPNoMnt2, ...): adds a record or
// changes the one whose code is `key`. Adding an existing code turns,
// after a question, into overwriting that record. After a save it reloads
// its list screen and closes.
class MasterEditScreen : public Screen {
    Q_OBJECT
  public:
    // list: the list screen beneath, refreshed after a save.
    MasterEditScreen(const MasterDef& def, MasterListScreen* list, EditMode mode,
                     const QString& key = QString());
    ~MasterEditScreen() override;

  private:
    void buildFields(FormBehaviour& behaviour);
    void addRuleCheck(FormBehaviour& behaviour, const MasterField& field, QLineEdit* edit);
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
    MasterListScreen* m_list;
    const EditMode m_mode;
    const QString m_key;
    const std::unique_ptr<Ui::MasterEditScreen> ui;
};
