// In-cell editing of the two leg grids. A grid's edit request is refused and
// one of the pane's own editors is laid over the cell: the list cmbEdit
// (position, kind, strike, expiration) or the text box txtEdit (quantity).
// Leaving the editor writes the choice into the selected strategy's leg,
// rebuilds both grids and evaluates again; Enter leaves it for its grid, a
// cancel from the grid leaves it without writing; Escape does not end it.
// The strategies count as unsaved only when a leg changed: a value other
// than the leg's, or a leg the hint row added.

#include "workspace/LegsPane.h"

#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "model/Evaluation.h"
#include "model/OptionsCollection.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/InputCodes.h"
#include "workspace/AnalysisSession.h"
#include "workspace/LegEditRules.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <utility>

namespace tw {

namespace {

// The editors' colours (white on steel blue) and font.
void styleEditor(QWidget* editor)
{
    QPalette pal = editor->palette();
    const QColor back(0x4E, 0x8C, 0xB1);
    const QColor text(0xFF, 0xFF, 0xFF);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Base, back);
        pal.setColor(group, QPalette::Button, back);
        pal.setColor(group, QPalette::Window, back);
        pal.setColor(group, QPalette::Text, text);
        pal.setColor(group, QPalette::ButtonText, text);
        pal.setColor(group, QPalette::WindowText, text);
    }
    editor->setPalette(pal);
    editor->setAutoFillBackground(true);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::SansSerif);
    editor->setFont(font);
}

} // namespace

// Hands the editors' key presses and losses of focus to the pane's handlers.
class LegsPane::EditorEvents : public QObject {
public:
    explicit EditorEvents(LegsPane* pane) : QObject(pane), m_pane(pane) {}
    // The pane is going away: nothing reaches it any more.
    void detach() { m_pane = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_pane == nullptr)
            return false;
        const bool combo = watched == m_pane->cmbEdit;
        if (!combo && watched != m_pane->txtEdit)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const int code = platform::windowsKeyCode(key->key(), key->modifiers());
            const int shift = platform::shiftState(key->modifiers());
            if (combo)
                m_pane->cmbEdit_KeyDown(code, shift);
            else
                m_pane->txtEdit_KeyDown(code, shift);
            // Enter ends the edit; everything else is the editor's own.
            return code == platform::Vk::Return;
        }
        if (event->type() == QEvent::FocusOut) {
            // A list opening its drop-down, or the window losing the
            // keyboard to another window, does not leave the editor: the
            // focus comes back to it.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
                return false;
            // The list's drop-down hands the focus on to its own view.
            if (combo) {
                const QWidget* popup = m_pane->cmbEdit->view()->window();
                if (popup != m_pane->cmbEdit->window() && popup->isVisible())
                    return false;
            }
            auto* editor = static_cast<QWidget*>(watched);
            if (!editor->isVisible())
                return false;
            if (combo)
                m_pane->cmbEdit_LostFocus();
            else
                m_pane->txtEdit_LostFocus();
        }
        return false;
    }

private:
    LegsPane* m_pane;
};

LegsPane::~LegsPane()
{
    // Destroying the editors hands their focus on; nothing of this pane may
    // answer that any more.
    m_editorEvents->detach();
    cmbEdit->removeEventFilter(m_editorEvents);
    txtEdit->removeEventFilter(m_editorEvents);
}

void LegsPane::connectEditors()
{
    styleEditor(cmbEdit);
    styleEditor(txtEdit);
    cmbEdit->setEditable(false);
    m_editorEvents = new EditorEvents(this);
    cmbEdit->installEventFilter(m_editorEvents);
    txtEdit->installEventFilter(m_editorEvents);

    connect(
        gdParams, &platform::Grid::RequestEdit, this,
        [this](int row, int col, int key, bool& cancel) { gdParams_RequestEdit(row, col, key, cancel); },
        Qt::DirectConnection);
    connect(
        gdSelected, &platform::Grid::RequestEdit, this,
        [this](int row, int col, int key, bool& cancel) { gdSelected_RequestEdit(row, col, key, cancel); },
        Qt::DirectConnection);
    connect(gdParams, &platform::Grid::CancelEdit, this, [this] { gdParams_CancelEdit(); });
    connect(gdSelected, &platform::Grid::CancelEdit, this, [this] { gdSelected_CancelEdit(); });
    connect(gdParams, &platform::Grid::KeyDown, this, [this](int key, int shift) { gdParams_KeyDown(key, shift); });
    connect(gdSelected, &platform::Grid::KeyDown, this,
            [this](int key, int shift) { gdSelected_KeyDown(key, shift); });
}

platform::Grid* LegsPane::gridOfEditorTag(const QString& tag) const
{
    switch (legGridOfField(editFieldOfTag(tag))) {
    case LegGrid::Params:
        return gdParams;
    case LegGrid::Selected:
        return gdSelected;
    case LegGrid::None:
        break;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Opening an editor

void LegsPane::placeEditors(platform::Grid* grid, int row, int col)
{
    grid->EnsureVisible(row, col);
    const QRect cell = grid->CellBoundary(row, col);
    // Two pixels (30 twips) into the cell, as high as the cells they cover.
    const int inset = pixelsFromTwips(30, logicalDpiY());
    const QPoint at = grid->mapTo(this, cell.topLeft()) + QPoint(inset, inset);
    for (QWidget* editor : {static_cast<QWidget*>(cmbEdit), static_cast<QWidget*>(txtEdit)})
        editor->setGeometry(QRect(at, QSize(cell.width(), qMax(cell.height(), 16))));
}

void LegsPane::setEditorVisible(QWidget* editor, bool visible)
{
    editor->setVisible(visible);
    if (visible)
        editor->raise();
}

void LegsPane::showComboEditor(const QStringList& entries, int selected, const QString& tag,
                                    const QList<int>& itemData)
{
    cmbEdit->clear();
    for (int i = 0; i < entries.size(); ++i)
        cmbEdit->addItem(entries.at(i), i < itemData.size() ? QVariant(itemData.at(i)) : QVariant());
    cmbEdit->setCurrentIndex(selected >= 0 && selected < entries.size() ? selected : -1);
    setEditorVisible(cmbEdit, true);
    cmbEdit->setFocus(Qt::OtherFocusReason);
    cmbEdit->setProperty("tag", tag);
}

void LegsPane::showTextEditor(const QString& text, const QString& tag)
{
    txtEdit->setText(text);
    txtEdit->deselect();
    setEditorVisible(txtEdit, true);
    txtEdit->setProperty("tag", tag);
    txtEdit->setFocus(Qt::OtherFocusReason);
}

void LegsPane::gdParams_RequestEdit(int row, int col, int /*keyCode*/, bool& cancel)
{
    Procedure proc("frmStrategies", "gdParams_RequestEdit");
    const auto params = session().selectedParams();
    if (params == nullptr)
        return;
    // Legs and the first hint row (which adds a leg) can be edited; the rows
    // below it name no leg.
    if (row < 1 || row > params->Count() + 1 || col < 1)
        return;
    TW_STEP(proc, placeEditors(gdParams, row, col));
    TW_STEP(proc, m_EditRow = row);
    const bool added = m_EditRow > params->Count();
    if (added) {
        TW_STEP(proc, params->Add(LegKind::Call, LegPosition::Long, 0, 3, 1));
        TW_STEP(proc, m_NewLegFlag = true);
    }
    std::shared_ptr<StrategyItem> leg;
    TW_STEP(proc, leg = params->Item(m_EditRow));
    const bool stock = leg->ItemType() == LegKind::Stock;
    switch (col) {
    case 2:
        TW_STEP(proc, showComboEditor(positionEntries(), positionEntryIndex(leg->Position(), m_NewLegFlag),
                                      editorTag(EditField::Position)));
        break;
    case 3:
        TW_STEP(proc, showComboEditor(kindEntries(), kindEntryIndex(leg->ItemType()), editorTag(EditField::Kind)));
        break;
    case 4:
        if (stock)
            return;
        TW_STEP(proc, showComboEditor(strikeOffsetEntries(leg->ItemType()), strikeEntryIndex(leg->StrikePrice()),
                                      editorTag(EditField::StrikeOffset)));
        break;
    case 5:
        if (stock)
            return;
        TW_STEP(proc, showComboEditor(expirationClassEntries(), expirationEntryIndex(leg->ExpireDate()),
                                      editorTag(EditField::ExpirationClass)));
        break;
    case 6:
        TW_STEP(proc, showTextEditor(QString::number(leg->Quantity()), editorTag(EditField::Quantity)));
        break;
    default:
        // No editor here: both grids show the legs as they are (with a leg
        // just added from the hint row).
        TW_STEP(proc, UpdateParamsList(*params));
        TW_STEP(proc, session().SelectOptions(params));
        break;
    }
    TW_STEP(proc, cancel = true);
    TW_STEP(proc, m_EditCancelled = false);
    // An editor changes nothing by opening (its commit marks the library when
    // it writes another value); a leg the hint row added for it does.
    if (added)
        TW_STEP(proc, session().setStrategiesChanged(true));
}

void LegsPane::gdSelected_RequestEdit(int row, int col, int /*keyCode*/, bool& cancel)
{
    Procedure proc("frmStrategies", "gdSelected_RequestEdit");
    const auto params = session().selectedParams();
    if (params == nullptr)
        return;
    TW_STEP(proc, m_EditRow = row);
    if (row < 1 || row > params->Count() || col < 1)
        return;
    TW_STEP(proc, placeEditors(gdSelected, row, col));
    TW_STEP(proc, cancel = true);
    std::shared_ptr<StrategyItem> leg;
    TW_STEP(proc, leg = params->Item(row));
    const int32_t kind = leg->ItemType();
    const bool option = kind == LegKind::Call || kind == LegKind::Put;
    const auto side = kind == LegKind::Call ? session().calls() : session().puts();
    // The chain lists need the legs' side of the filtered chain; without
    // one (no chain, no option of the exchange) there is nothing to pick.
    const bool chain = option && side != nullptr && side->Count() > 0 && session().ObjStock() != nullptr;
    switch (col) {
    case 2:
        TW_STEP(proc, showComboEditor(legKindEntries(), legKindEntryIndex(kind, leg->Position()),
                                      editorTag(EditField::LegKind)));
        break;
    case 3:
        TW_STEP(proc, emit optionShowRequested(kind, gdSelected->CellText(row, 3)));
        break;
    case 4: {
        if (!chain)
            return;
        QStringList entries;
        QList<int> offsets;
        int selected = -1;
        TW_STEP(proc, {
            const int expiration = OptionsCollection::chainExpirationOfClass(
                static_cast<int32_t>(side->ExpirationList().size()), leg->ExpireDate());
            if (expiration == 0)
                return; // the leg's class has no expiration in this chain
            // Offsets counted from the same at-the-money strike the
            // evaluation resolves the leg at, so a picked strike is the one
            // the leg then shows.
            const QLocale locale;
            bool ok = false;
            const double shown = locale.toDouble(gdSelected->CellText(row, 4), &ok);
            for (const StrikeRow& r : side->StrikeList(session().ObjStock()->Price(), expiration)) {
                if (ok && Currency::fromDouble(shown) == r.strike)
                    selected = static_cast<int>(entries.size());
                entries.append(strikeEntryText(r.strike, locale));
                offsets.append(r.offset);
            }
        });
        if (entries.isEmpty())
            return;
        TW_STEP(proc, showComboEditor(entries, selected, editorTag(EditField::ChainStrike), offsets));
        break;
    }
    case 5: {
        if (!chain)
            return;
        QStringList entries;
        int selected = -1;
        TW_STEP(proc, {
            const QLocale locale;
            const QString shown = gdSelected->CellText(row, 5);
            for (const double date : side->ExpirationList()) {
                entries.append(monthYearText(locale, date));
                if (entries.last() == shown)
                    selected = static_cast<int>(entries.size()) - 1;
            }
        });
        TW_STEP(proc, showComboEditor(entries, selected, editorTag(EditField::ChainExpiration)));
        break;
    }
    case 6:
        TW_STEP(proc, showTextEditor(QString::number(leg->Quantity()), editorTag(EditField::SelectedQuantity)));
        break;
    default:
        TW_STEP(proc, cancel = false);
        return;
    }
}

// ---------------------------------------------------------------------------
// Leaving an editor

void LegsPane::showAddedLeg()
{
    // A cancelled edit writes nothing, but a leg the hint row added for it
    // stays and is shown.
    const auto params = session().selectedParams();
    if (params != nullptr && gdParams->Rows() - 2 != params->Count())
        refreshLegGrids(params);
}

void LegsPane::cmbEdit_LostFocus()
{
    Procedure proc("frmStrategies", "cmbEdit_LostFocus");
    TW_STEP(proc, setEditorVisible(cmbEdit, false));
    if (m_EditCancelled) {
        TW_STEP(proc, m_EditCancelled = false);
        TW_STEP(proc, showAddedLeg());
        return;
    }
    setUpdatesEnabled(false);
    const auto unlock = qScopeGuard([this] { setUpdatesEnabled(true); });
    const auto params = session().selectedParams();
    // An edit whose leg is gone (the list changed under it) writes nothing.
    if (params == nullptr || m_EditRow < 1 || m_EditRow > params->Count())
        return;
    TW_STEP(proc, {
        ComboChoice choice;
        choice.index = cmbEdit->currentIndex();
        choice.count = cmbEdit->count();
        choice.text = cmbEdit->currentText();
        const QVariant data = cmbEdit->currentData();
        if (data.isValid())
            choice.itemData = data.toInt();
        StrategyItem& leg = *params->Item(m_EditRow);
        const StrategyItem before = leg;
        applyComboChoice(editFieldOfTag(cmbEdit->property("tag").toString()), choice, leg, m_NewLegFlag);
        // The entry the list opened on, picked again, is no change to save.
        if (!(leg == before))
            session().setStrategiesChanged(true);
    });
    TW_STEP(proc, refreshLegGrids(params));
}

void LegsPane::txtEdit_LostFocus()
{
    Procedure proc("frmStrategies", "txtEdit_LostFocus");
    const auto params = session().selectedParams();
    TW_STEP(proc, setEditorVisible(txtEdit, false));
    if (m_EditCancelled) {
        TW_STEP(proc, m_EditCancelled = false);
        // Left without writing: a refusal said of its text is over.
        TW_STEP(proc, emit statusWithdrawn(std::exchange(m_quantityNotice, QString())));
        TW_STEP(proc, showAddedLeg());
        return;
    }
    if (params == nullptr)
        return;
    setUpdatesEnabled(false);
    const auto unlock = qScopeGuard([this] { setUpdatesEnabled(true); });
    const EditField field = editFieldOfTag(txtEdit->property("tag").toString());
    const bool quantity = field == EditField::Quantity || field == EditField::SelectedQuantity;
    if (quantity && m_EditRow >= 1 && m_EditRow <= params->Count()) {
        const auto q = quantityFromText(txtEdit->text(), QLocale());
        if (q) {
            TW_STEP(proc, {
                StrategyItem& leg = *params->Item(m_EditRow);
                if (leg.Quantity() != *q) {
                    leg.setQuantity(*q);
                    session().setStrategiesChanged(true);
                }
                emit statusWithdrawn(std::exchange(m_quantityNotice, QString()));
            });
        } else {
            TW_STEP(proc, {
                m_quantityNotice = QStringLiteral(" Quantity left at %1: type a whole number from 1 to 32767")
                                       .arg(params->Item(m_EditRow)->Quantity());
                emit statusMessage(m_quantityNotice);
            });
        }
    }
    TW_STEP(proc, refreshLegGrids(params));
}

bool LegsPane::commitOpenEditor(const std::function<bool(const QString&)>& leave)
{
    Procedure proc("frmStrategies", "commitOpenEditor");
    // As Return: the editor gives the focus back to its grid, which writes
    // it; a window without the keyboard sends no loss of focus, so the
    // editor is then left by hand.
    if (cmbEdit->isVisibleTo(this)) {
        TW_STEP_OR(proc, false, cmbEdit->hidePopup());
        TW_STEP_OR(proc, false, cmbEdit_KeyDown(platform::Vk::Return, 0));
        if (cmbEdit->isVisibleTo(this))
            TW_STEP_OR(proc, false, cmbEdit_LostFocus());
    }
    if (!txtEdit->isVisibleTo(this))
        return true;
    const auto params = session().selectedParams();
    const EditField field = editFieldOfTag(txtEdit->property("tag").toString());
    const bool quantity = field == EditField::Quantity || field == EditField::SelectedQuantity;
    if (!m_EditCancelled && params != nullptr && quantity && m_EditRow >= 1 && m_EditRow <= params->Count()
        && !quantityFromText(txtEdit->text(), QLocale())) {
        const int16_t kept = params->Item(m_EditRow)->Quantity();
        if (leave) {
            // Closing the window: the user chooses between the text and
            // the exit.
            const QString typed = txtEdit->text();
            const QString question =
                (typed.isEmpty() ? QStringLiteral("An empty cell is not a quantity")
                                 : QStringLiteral("\"%1\" is not a quantity").arg(typed))
                + QStringLiteral(": the leg keeps its quantity %1.\r\nLeave the cell and exit?")
                      .arg(kept);
            bool left = false;
            TW_STEP_OR(proc, false, left = leave(question));
            if (left) {
                TW_STEP_OR(proc, false, leaveTextEditor());
                return true;
            }
        } else {
            TW_STEP_OR(proc, false, dialogs().beep());
        }
        // Refused: the editor stays open with the text to correct, and the
        // command that asked stops.
        TW_STEP_OR(proc, false, {
            txtEdit->setFocus(Qt::OtherFocusReason);
            txtEdit->selectAll();
        });
        TW_STEP_OR(proc, false, {
            m_quantityNotice = QStringLiteral(" The quantity must be a whole number from 1 to 32767: correct it, "
                                              "or leave the cell to keep %1")
                                   .arg(kept);
            emit statusMessage(m_quantityNotice);
        });
        return false;
    }
    TW_STEP_OR(proc, false, txtEdit_KeyDown(platform::Vk::Return, 0));
    if (txtEdit->isVisibleTo(this))
        TW_STEP_OR(proc, false, txtEdit_LostFocus());
    return true;
}

void LegsPane::leaveTextEditor()
{
    // As a cancel from the grid: the grid takes the focus and the editor
    // writes nothing; a window without the keyboard sends no loss of focus,
    // so the editor is then left by hand.
    m_EditCancelled = true;
    if (platform::Grid* grid = gridOfEditorTag(txtEdit->property("tag").toString()))
        grid->setFocus(Qt::OtherFocusReason);
    if (txtEdit->isVisibleTo(this))
        txtEdit_LostFocus();
}

void LegsPane::cmbEdit_KeyDown(int keyCode, int /*shift*/)
{
    Procedure proc("frmStrategies", "cmbEdit_KeyDown");
    if (keyCode != platform::Vk::Return)
        return;
    TW_STEP(proc, {
        if (platform::Grid* grid = gridOfEditorTag(cmbEdit->property("tag").toString()))
            grid->setFocus(Qt::OtherFocusReason);
    });
}

void LegsPane::txtEdit_KeyDown(int keyCode, int /*shift*/)
{
    Procedure proc("frmStrategies", "txtEdit_KeyDown");
    if (keyCode != platform::Vk::Return)
        return;
    TW_STEP(proc, {
        if (platform::Grid* grid = gridOfEditorTag(txtEdit->property("tag").toString()))
            grid->setFocus(Qt::OtherFocusReason);
    });
}

void LegsPane::legGridCancelEdit(platform::Grid* grid)
{
    Procedure proc("frmStrategies", grid == gdParams ? "gdParams_CancelEdit" : "gdSelected_CancelEdit");
    TW_STEP(proc, m_EditCancelled = true);
    TW_STEP(proc, grid->setFocus(Qt::OtherFocusReason));
}

void LegsPane::gdParams_CancelEdit()
{
    legGridCancelEdit(gdParams);
}

void LegsPane::gdSelected_CancelEdit()
{
    legGridCancelEdit(gdSelected);
}

void LegsPane::legGridKeyDown(platform::Grid* grid, int keyCode)
{
    Procedure proc("frmStrategies", grid == gdParams ? "gdParams_KeyDown" : "gdSelected_KeyDown");
    if (keyCode != platform::Vk::Delete)
        return;
    // The key came to this grid: its row is the one to delete.
    m_commandGrid = grid;
    const auto done = qScopeGuard([this] { m_commandGrid = nullptr; });
    TW_STEP(proc, DeleteParams());
    TW_STEP(proc, grid->setFocus(Qt::OtherFocusReason));
}

void LegsPane::gdParams_KeyDown(int keyCode, int /*shift*/)
{
    legGridKeyDown(gdParams, keyCode);
}

void LegsPane::gdSelected_KeyDown(int keyCode, int /*shift*/)
{
    legGridKeyDown(gdSelected, keyCode);
}

} // namespace tw
