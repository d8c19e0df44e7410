#pragma once

#include <QString>

// The name and addresses of the "Misc" page. They stand in double-quoted shell words of the
// generated replies, where a quote ends the word and a backquote or dollar sign runs a command.
namespace AccountDetails {

// True when `text` holds ", `, $, \ or a control character.
bool HasShellSpecial(const QString& text);

// The angle-bracket message for the e-mail address (`returnAddress` false) or the return address.
QString AngleBracketText(bool returnAddress);
// The special-character message; `what` is "name", "email address" or "return email address".
QString ShellSpecialText(const QString& what);

} // namespace AccountDetails
