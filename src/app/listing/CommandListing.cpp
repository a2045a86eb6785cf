#include "app/listing/CommandListing.h"

#include "app/commands/CommandRouter.h"
#include "core/base/CommandIds.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <set>

namespace {

// Identifiers that no unit gives a row, and why. Written in English only: this page is for
// the program's developers.
struct WithoutRow
{
    int m_id;
    const char* m_why;
};

const WithoutRow kWithoutRow[] = {
    {ID_ESCAPE, "Esc: no unit serves it"},
    {ID_PORT_SELECT, "a list of the port settings bar (its prompt and label are the bar's own)"},
    {ID_BAUD_RATE, "a list of the port settings bar"},
    {ID_PARITY, "a list of the port settings bar"},
    {ID_DATA_BITS, "a list of the port settings bar"},
    {ID_STOP_BITS, "a list of the port settings bar"},
    {ID_PACK_INTERVAL, "a list of the port settings bar"},
    {ID_FLOW_CONTROL, "a list of the port settings bar"},
    {ID_SETTINGS_BUTTON, "the port settings bar's greyed button (its text is the bar's own)"},
    {ID_FILE_NEW, "the monitor is cleared with its own command"},
    {ID_FILE_PRINT_DIRECT, "the view serves it, but no menu, key or button calls it"},
    {ID_FILE_MRU_FIRST, "the recent files: items made as the File menu is built"},
    {ID_FILE_MRU_LAST, "the recent files: items made as the File menu is built"},
    {ID_EDIT_PASTE_SPECIAL, "embedded objects are left out of the menus"},
};

const char* WhyNoRow(int id)
{
    for (const WithoutRow& row : kWithoutRow) {
        if (row.m_id == id)
            return row.m_why;
    }
    return nullptr;
}

QString Translated(const char* text)
{
    return text ? QCoreApplication::translate("Command", text) : QString();
}

// A table cell: on one line, with the table's own bars escaped.
QString Cell(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('|'), QStringLiteral("\\|"));
    return text.isEmpty() ? QStringLiteral("—") : text;
}

} // namespace

std::vector<CCommandListing::IdName> CCommandListing::ParseIds(const QString& header)
{
    std::vector<IdName> ids;
    static const QRegularExpression kLine(QStringLiteral(R"(^\s*(ID_\w+)\s*=\s*(\d+)\s*,)"),
                                          QRegularExpression::MultilineOption);
    for (auto it = kLine.globalMatch(header); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        ids.push_back({m.captured(1), m.captured(2).toInt()});
    }
    return ids;
}

CCommandListing::CCommandListing(const CCommandRouter& router, std::vector<IdName> ids)
    : m_router(router), m_ids(std::move(ids))
{
}

QString CCommandListing::NameOf(int id) const
{
    for (const IdName& known : m_ids) {
        if (known.m_id == id)
            return known.m_name;
    }
    return QString();
}

QStringList CCommandListing::Problems() const
{
    QStringList problems;
    std::set<int> withRows;
    for (const CommandInfo* row : m_router.Rows()) {
        withRows.insert(row->m_id);
        if (NameOf(row->m_id).isEmpty())
            problems << QStringLiteral("a row with the unknown identifier %1").arg(row->m_id);
    }
    for (const IdName& known : m_ids) {
        const bool hasRow = withRows.count(known.m_id) != 0;
        if (!hasRow && !WhyNoRow(known.m_id))
            problems
                << QStringLiteral("%1 has no row and no reason for having none").arg(known.m_name);
        if (hasRow && WhyNoRow(known.m_id))
            problems
                << QStringLiteral("%1 has a row but is listed as having none").arg(known.m_name);
    }
    for (const WithoutRow& row : kWithoutRow) {
        if (NameOf(row.m_id).isEmpty())
            problems << QStringLiteral("the identifier %1 listed as having no row is unknown")
                            .arg(row.m_id);
    }
    return problems;
}

QString CCommandListing::MenuPathOf(int id) const
{
    QStringList path;
    int depth = 0; // 1: in a menu of the bar, 2: in a submenu
    for (const MenuLayoutItem& item : MainMenuLayout()) {
        switch (item.m_kind) {
        case MenuLayoutItem::Popup:
            path = QStringList{Translated(item.m_text)};
            depth = 1;
            break;
        case MenuLayoutItem::SubMenu:
            path.resize(depth);
            path << Translated(item.m_text);
            depth = 2;
            break;
        case MenuLayoutItem::EndSubMenu:
            depth = 1;
            path.resize(depth);
            break;
        case MenuLayoutItem::Item:
            if (item.m_id == id)
                return path.join(QStringLiteral(" › "));
            break;
        default: break;
        }
    }
    for (int tool : MainToolbarLayout()) {
        if (tool == id)
            return QCoreApplication::translate("CMainFrame", "工具栏");
    }
    return QString();
}

QString CCommandListing::Section(const QString& title) const
{
    QString out =
        QStringLiteral(
            "## %1\n\n| Id | Menu | Text | Key | Prompt | Tooltip |\n|---|---|---|---|---|---|\n")
            .arg(title);
    for (const CommandInfo* row : m_router.Rows()) {
        out += QStringLiteral("| %1 `%2` | %3 | %4 | %5 | %6 | %7 |\n")
                   .arg(row->m_id)
                   .arg(NameOf(row->m_id), Cell(MenuPathOf(row->m_id)),
                        Cell(Translated(row->m_menuText)),
                        Cell(row->m_key ? QString::fromUtf8(row->m_key) : QString()),
                        Cell(Translated(row->m_prompt)), Cell(Translated(row->m_tip)));
    }
    return out + QLatin1Char('\n');
}

QString CCommandListing::WithoutRows() const
{
    QString out = QStringLiteral("## Identifiers without a row\n\n| Id | Why |\n|---|---|\n");
    for (const WithoutRow& row : kWithoutRow)
        out += QStringLiteral("| %1 `%2` | %3 |\n")
                   .arg(row.m_id)
                   .arg(NameOf(row.m_id), QString::fromUtf8(row.m_why));
    return out;
}
