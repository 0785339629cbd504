#include "masters/screens/mastereditscreen.h"
#include "ui_mastereditscreen.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "core/screens/readonlyfield.h"
#include "masters/screens/masterlistscreen.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

int boxWidthPixels(const MasterField& f) {
    if (f.kind == FieldKind::Date)
        return 110;
    return qMax(80, f.byteLimit * 8 + 14);
}

QLabel* heading(QWidget* parent, int index, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblHed_%1").arg(index));
    label->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 10));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setMinimumSize(130, 26);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
} // namespace

MasterEditScreen::MasterEditScreen(const MasterDef& def, MasterListScreen* list, EditMode mode,
                                   const QString& key)
    : Screen(list), m_def(def), m_list(list), m_mode(mode == EditMode::Edit ? mode : EditMode::Add),
      m_key(key), ui(new Ui::MasterEditScreen) {
    ui->setupUi(this);
    setObjectName(def.editScreen);
    ui->Label2->setText(def.title);

    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdCancel, false);
    buildFields(*behaviour);
    connect(ui->cmdUpd, &QPushButton::clicked, this, &MasterEditScreen::cmdUpdClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Centred at its final size: the fields were only just added.
    adjustSize();
    FormCenter(this);
    load();
}

MasterEditScreen::~MasterEditScreen() = default;

void MasterEditScreen::buildFields(FormBehaviour& behaviour) {
    QWidget* area = ui->fieldArea;
    auto* grid = ui->fieldGrid;
    grid->removeWidget(ui->ChkDel);
    QWidget* previous = nullptr;
    // A long master (the home-worker's, with its bank account) goes on in a
    // second column, so that the screen fits a 768-pixel display.
    const int firstColumnRows = m_def.fields.size() > 14 ? 13 : int(m_def.fields.size());
    int row = 0;
    for (const MasterField& f : m_def.fields) {
        const int r = row < firstColumnRows ? row : row - firstColumnRows;
        const int c = row < firstColumnRows ? 0 : 2;
        auto* edit = new QLineEdit(area);
        edit->setObjectName(f.box);
        edit->setFixedWidth(boxWidthPixels(f));
        edit->setMaxLength(f.maxChars);
        if (previous)
            setTabOrder(previous, edit);
        QLabel* label = heading(area, row, f.heading);
        label->setBuddy(edit);
        grid->addWidget(label, r, c);
        if (f.kind == FieldKind::Date) {
            setupDateBox(behaviour, edit, f.required);
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            auto* note = new QLabel(m_def.dateNote, area);
            note->setObjectName(QStringLiteral("Label1"));
            auto* line = new QHBoxLayout;
            line->addWidget(edit);
            line->addWidget(note);
            line->addStretch();
            grid->addLayout(line, r, c + 1);
        } else if (f.kind == FieldKind::Digits || f.kind == FieldKind::Choice) {
            setupKeyedBox(edit, 1, f.maxChars);
            addRuleCheck(behaviour, f, edit);
            if (f.kind == FieldKind::Choice) {
                auto* note = new QLabel(f.choices.join(QStringLiteral("　")), area);
                note->setObjectName(f.box + QStringLiteral("_note"));
                auto* line = new QHBoxLayout;
                line->addWidget(edit);
                line->addWidget(note);
                line->addStretch();
                grid->addLayout(line, r, c + 1);
            } else {
                grid->addWidget(edit, r, c + 1, Qt::AlignLeft);
            }
        } else {
            setupTextBox(edit, f.byteLimit, f.imeOn ? ImeMode::Hiragana : ImeMode::Off);
            if (f.kind == FieldKind::BankKana)
                addRuleCheck(behaviour, f, edit);
            if (f.kind == FieldKind::Password) {
                // The stored password is never shown: an empty box keeps it,
                // the check box removes it.
                setPasswordBox(edit);
                auto* clear = new QCheckBox(QStringLiteral("パスワードを消去"), area);
                clear->setObjectName(QStringLiteral("chkClearPassword"));
                connect(clear, &QCheckBox::toggled, edit, [edit](bool on) {
                    edit->clear();
                    edit->setEnabled(!on);
                });
                auto* line = new QHBoxLayout;
                line->addWidget(edit);
                line->addWidget(clear);
                line->addStretch();
                grid->addLayout(line, r, c + 1);
                setTabOrder(edit, clear);
                previous = clear;
                ++row;
                continue;
            }
            if (f.required) {
                behaviour.setValidator(edit, [this, edit] {
                    if (!rtrim(edit->text()).isEmpty())
                        return true;
                    MessageBox::show(this, ConventionText::Required);
                    return false;
                });
            }
            grid->addWidget(edit, r, c + 1, Qt::AlignLeft);
        }
        previous = edit;
        ++row;
    }
    QLabel* deletedHeading = heading(area, row, QStringLiteral("情報削除"));
    deletedHeading->setBuddy(ui->ChkDel);
    grid->addWidget(deletedHeading, firstColumnRows, 0);
    grid->addWidget(ui->ChkDel, firstColumnRows, 1);
    setTabOrder(previous, ui->ChkDel);
    setTabOrder(ui->ChkDel, ui->cmdUpd);
    setTabOrder(ui->cmdUpd, ui->cmdCancel);
}

// On leaving, the box shows what will be stored (a name in bank kana) or
// says what the field needs and keeps the focus.
void MasterEditScreen::addRuleCheck(FormBehaviour& behaviour, const MasterField& field,
                                    QLineEdit* edit) {
    behaviour.setValidator(edit, [this, &field, edit] {
        try {
            const QString kept = checkedFieldText(field, edit->text());
            if (kept != edit->text())
                edit->setText(kept);
            return true;
        } catch (const AppError& e) {
            MessageBox::show(this, e.text());
            return false;
        }
    });
}

QLineEdit* MasterEditScreen::box(const MasterField& field) const {
    return findChild<QLineEdit*>(field.box);
}

void MasterEditScreen::load() {
    ClearTextBoxes(this);
    // The mode box never takes the focus; its caption must still read clearly.
    ui->Picture1->setEnabled(false);
    QPalette modePalette = ui->lblMode->palette();
    modePalette.setColor(QPalette::Disabled, QPalette::WindowText,
                         modePalette.color(QPalette::Active, QPalette::WindowText));
    ui->lblMode->setPalette(modePalette);
    if (m_mode != EditMode::Edit) {
        ui->lblMode->setText(QStringLiteral("追　加"));
        box(m_def.key())->setFocus();
        return;
    }
    ui->lblMode->setText(QStringLiteral("編　集"));
    setReadOnlyField(box(m_def.key()));
    box(m_def.fields.at(1))->setFocus();
    try {
        if (const std::optional<MasterRecord> record = loadMasterRecord(m_def, m_key))
            showRecord(*record);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        // Saving the empty fields would overwrite the record unseen.
        ui->cmdUpd->setEnabled(false);
    }
}

void MasterEditScreen::showRecord(const MasterRecord& record) {
    for (const MasterField& f : m_def.fields)
        box(f)->setText(record.text(f.column));
    ui->ChkDel->setChecked(record.deleted);
}

MasterRecord MasterEditScreen::typed() const {
    MasterRecord record;
    for (const MasterField& f : m_def.fields)
        record.texts.insert(f.column, box(f)->text());
    record.deleted = ui->ChkDel->isChecked();
    if (const auto* clear = findChild<QCheckBox*>(QStringLiteral("chkClearPassword")))
        record.clearPassword = clear->isChecked();
    return record;
}

bool MasterEditScreen::requiredFieldsFilled() {
    // The code is checked by the save itself; other required fields here.
    for (const MasterField& f : m_def.fields.mid(1)) {
        if (f.required && rtrim(box(f)->text()).isEmpty()) {
            MessageBox::show(this, ConventionText::Required);
            box(f)->setFocus();
            return false;
        }
    }
    return true;
}

void MasterEditScreen::cmdUpdClick() {
    if (!requiredFieldsFilled())
        return;
    const bool adding = m_mode != EditMode::Edit;
    const MasterMessages& texts = m_def.messages;
    if (MessageBox::show(this, adding ? texts.addQuestion : texts.editQuestion,
                         MessageBox::Buttons::OkCancel) != MessageBox::Answer::Ok)
        return;
    const Outcome outcome = adding ? add() : edit();
    if (outcome == Outcome::Stopped)
        return;
    if (outcome == Outcome::Failed) {
        MessageBox::show(this, adding ? texts.addFailed : texts.editFailed);
        return;
    }
    if (m_list)
        m_list->refresh();
    accept();
}

MasterEditScreen::Outcome MasterEditScreen::add() {
    const MasterRecord record = typed();
    const QString code = rtrim(record.text(m_def.key().column));
    if (code.isEmpty())
        return Outcome::Failed;
    try {
        // A failed existence test must never be taken for "not there".
        if (!masterRecordExists(m_def, code)) {
            insertMasterRecord(m_def, record);
            return Outcome::Saved;
        }
    } catch (const AppError& e) {
        return report(e.text());
    }
    if (MessageBox::show(this, m_def.messages.existsQuestion, MessageBox::Buttons::YesNo) !=
        MessageBox::Answer::Yes) {
        box(m_def.key())->setFocus();
        return Outcome::Stopped;
    }
    try {
        return updateMasterRecord(m_def, code, record) ? Outcome::Saved : Outcome::Failed;
    } catch (const AppError& e) {
        return report(e.text());
    }
}

MasterEditScreen::Outcome MasterEditScreen::edit() {
    if (m_key.isEmpty())
        return Outcome::Failed;
    try {
        // A record that vanished meanwhile is a failure, not a silent no-op.
        return updateMasterRecord(m_def, m_key, typed()) ? Outcome::Saved : Outcome::Failed;
    } catch (const AppError& e) {
        return report(e.text());
    }
}

MasterEditScreen::Outcome MasterEditScreen::report(const QString& text) {
    MessageBox::error(this, text);
    return Outcome::Failed;
}
