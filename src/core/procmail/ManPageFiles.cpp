#include "core/procmail/ManPageFiles.h"

#include "core/recipes/ProcmailText.h"
#include "core/workspace/Workspace.h"

namespace {

struct Item
{
    const char* listText;
    const char* fileName;
    const char* line; // %1: the file name
};

const Item Items[ManPageFiles::Count] = {
    { "procmail -v (procmail version info)", "procmail.version.txt", nullptr },
    { "procmail man page", "man.procmail.txt", "DUMMY=`man procmail | col -b > $HOME/%1`\n" },
    { "procmailex man page", "man.procmailex.txt", "DUMMY=`man procmailex | col -b > $HOME/%1`\n" },
    { "procmailrc man page", "man.procmailrc.txt", "DUMMY=`man procmailrc | col -b > $HOME/%1`\n" },
    { "procmailsc man page", "man.procmailsc.txt", "DUMMY=`man procmailsc | col -b > $HOME/%1`\n" },
    { "formail man page", "man.formail.txt", "DUMMY=`man formail | col -b > $HOME/%1`\n" },
    { "lockfile man page", "man.lockfile.txt", "DUMMY=`man lockfile | col -b > $HOME/%1`\n" },
    { "egrep man page", "man.egrep.txt", "DUMMY=`man egrep | col -b > $HOME/%1`\n" },
    { "grep man page", "man.grep.txt", "DUMMY=`man grep | col -b > $HOME/%1`\n" },
    { "sed man page", "man.sed.txt", "DUMMY=`man sed | col -b > $HOME/%1`\n" },
    { "sysexits.h (exitcodes)", "sysexits.h.txt", "DUMMY=`cp /usr/include/sysexits.h $HOME/%1`\n" },
};

bool valid(int item)
{
    return item >= 0 && item < ManPageFiles::Count;
}

} // namespace

QString ManPageFiles::ListText(int item)
{
    return valid(item) ? QString::fromLatin1(Items[item].listText) : QString();
}

QString ManPageFiles::FileName(int item)
{
    return valid(item) ? QString::fromLatin1(Items[item].fileName) : QString();
}

QString ManPageFiles::LocalPath(int item)
{
    return Workspace::GetDocumentFolder() + FileName(item);
}

QByteArray ManPageFiles::BuildRecipe(const Request& request, QStringList* downloads)
{
    downloads->clear();
    QByteArray text = ":0\n* ^From:.*" + ProcmailText::RegexEscape(request.fromAddress) + "\n{\n";
    if (request.versionMode || request.selected.value(VersionItem)) {
        // The version goes to a log file of its own; verbose logging would mix into it.
        if (request.verbose)
            text += "VERBOSE=no\n";
        text += "LOGFILE=$HOME/" + QByteArray(Items[VersionItem].fileName) + "\n";
        text += "LOG=`procmail -v`\n";
        if (request.verbose)
            text += "VERBOSE=yes\n";
        text += request.logging ? "LOGFILE=$ZEPH_DIR/zeph.log\n" : "LOGFILE=/dev/null\n";
        downloads->append(FileName(VersionItem));
    }
    if (!request.versionMode) {
        for (int item = 1; item < Count; ++item) {
            if (!request.selected.value(item))
                continue;
            text += QByteArray(Items[item].line).replace("%1", Items[item].fileName);
            downloads->append(FileName(item));
        }
    }
    return text + "}\n";
}
