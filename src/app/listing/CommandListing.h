#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CCommandRouter;

// One page that lists every command row the units have added to the router: identifier,
// menu path, text, key, status prompt and tooltip, in the language in force. The reader's
// way to every command; the rows themselves stay with the units that serve them.
class CCommandListing
{
public:
    // An identifier as the header of identifiers names it.
    struct IdName
    {
        QString m_name;
        int m_id;
    };

    // The identifiers defined in the header of command identifiers (its text).
    static std::vector<IdName> ParseIds(const QString& header);

    // ids: every identifier there is.
    CCommandListing(const CCommandRouter& router, std::vector<IdName> ids);

    // What does not add up, one line each: an identifier with neither a row nor a reason
    // for having none, a row whose identifier is unknown, a reason given for an identifier
    // that has a row after all.
    QStringList Problems() const;
    // The rows as a Markdown section headed title, texts translated as the program shows them.
    QString Section(const QString& title) const;
    // The identifiers that have no row, and why.
    QString WithoutRows() const;

private:
    QString NameOf(int id) const;
    QString MenuPathOf(int id) const;

    const CCommandRouter& m_router;
    std::vector<IdName> m_ids;
};
