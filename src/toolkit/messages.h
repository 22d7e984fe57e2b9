// What every message to the player shares: the title is "Quorvale - "
// followed by a word for the situation, and the lines of the text are joined
// by carriage return and line feed (the message box shows them as lines).
#pragma once

#include <QString>
#include <QStringList>

inline QString messageTitle(const QString& situation) { return QStringLiteral("Quorvale - ") + situation; }

inline QString messageLines(const QStringList& lines) { return lines.join(QStringLiteral("\r\n")); }
