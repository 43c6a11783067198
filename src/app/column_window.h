#pragma once

#include "app/generator_window.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace kestrin::app {

// One row of the settings column: a caption label and a text box.
struct SettingRow {
    QString caption;
    QString initial;
};

// The check box a kind may add as the last row of the column.
struct ColumnCheck {
    QString caption;
    bool ticked = false;
};

// What the start button hands the generator of a settings-column window.
struct ColumnSettings {
    QStringList own;    // the kind's own settings, top to bottom, as typed
    bool check = false; // the column's check box is ticked (never, where it has none)
    SheetSettings sheet;
};

// Everything that tells one settings-column window from another.
struct ColumnKind {
    QString name; // the window's objectName
    QString kind; // e.g. "五笔加减": in the caption, the title and the start button
    std::vector<SettingRow> own;
    std::array<SettingRow, 3> counts; // per row, rows per page, pages
    std::optional<ColumnCheck> check;
    RunResult (*run)(const ColumnSettings& settings, const RunServices& services) = nullptr;
};

// The three counts as the chain sheets name them, and as the row sheets do.
std::array<SettingRow, 3> chainCounts(const QString& perRow, const QString& rows, const QString& pages);
std::array<SettingRow, 3> rowCounts(const QString& perRow, const QString& rows, const QString& pages);

// The windows of the kinds whose settings are one column of text boxes.
const ColumnKind& fiveTermColumn();     // xqd5 五笔加减
const ColumnKind& tenTermColumn();      // xqd10 十笔加减
const ColumnKind& middleChainColumn();  // zdjj1 中段加减
const ColumnKind& upperChainColumn();   // gdjj1 高段加减
const ColumnKind& infantColumn();       // yer1 幼儿加减
const ColumnKind& lowerColumn();        // ddjj1 低段加减
const ColumnKind& upperDivisionColumn(); // gdchs1 高段除算

// A generator window whose settings are one column on the left: the kind's own
// boxes, the three counts and the kind's check box, if any, in the rows of
// `zdcs1`; below them the answers frame, and the output and action frames, the
// status box and the completion label where `zdcs1` has them.
class SettingsColumnWindow final : public GeneratorWindow {
    Q_OBJECT

public:
    SettingsColumnWindow(const ColumnKind& kind, const RunServices& services, QWidget* parent = nullptr);

protected:
    RunResult runGenerator(const RunServices& services) override;

private:
    const ColumnKind& kind_;
};

} // namespace kestrin::app
