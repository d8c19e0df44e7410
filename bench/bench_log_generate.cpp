// Writes a procmail log of N entries shaped like real ones: procmail's abstracts (envelope line,
// subject line, folder line padded with tabs and the size right-aligned to column 79), our
// recipes' longer entries in front of a quarter of them, a few procmail error lines, bare folder
// lines of recipes that do not deliver, and now and then a size of eight digits.
// Usage: bench_log_generate N FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_log_generate N FILE\n");
        return 2;
    }
    const long count = std::atol(argv[1]);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    static const char* const days[] = { "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun" };
    static const char* const months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    static const char* const senders[] = { "alice@example.org", "bob@example.net",
        "owner-list@lists.example.com", "bounce-4711@mailer.example", "carol", "MAILER-DAEMON",
        "newsletter@shop.example.co.uk", "dave.smith@university.example.edu" };
    static const char* const folders[] = { "/home/user/mail/inbox", "spam", "/home/user/Mail/lists/debian",
        "/dev/null", "lists/procmail/", "Work", "/var/mail/user", "backup/msg.Xy7" };
    static const char* const subjects[] = { "Meeting tomorrow", "Re: Your order %ld", "Cheap offer!!!",
        "[debian-user] Question about procmail", "RE: re: status report", "Invoice %ld", "hello",
        "=?UTF-8?B?R3LDvMOfZQ==?=", "Re:   Weekly digest, volume %ld", "SUBJECT IN CAPITALS" };
    static const char* const recipes[] = { "Spam", "Mailing lists", "Work mail", "Family", "Vacation" };
    static const char* const tos[]
        = { "user@example.org", "User Name <user@example.org>", "undisclosed-recipients:;" };

    std::mt19937_64 random(20070101);
    auto pick = [&](auto& table) { return table[random() % (sizeof table / sizeof table[0])]; };
    std::string buffer;
    buffer.reserve(1 << 20);
    char line[512];
    for (long i = 0; i < count; ++i) {
        const char* sender = pick(senders);
        const unsigned long kind = random() % 1000;
        if (kind < 2)
            buffer += "procmail: Couldn't create \"/home/user/mail/inbox\"\n";
        if (kind >= 750) {
            std::snprintf(
                line, sizeof line, "RECIPE: %s\nTO: %s\nFROM: %s \n", pick(recipes), pick(tos), sender);
            buffer += line;
        }
        std::snprintf(line, sizeof line, "From %s  %s %s %2d %02d:%02d:%02d %d\n", sender, pick(days),
            pick(months), static_cast<int>(random() % 28 + 1), static_cast<int>(random() % 24),
            static_cast<int>(random() % 60), static_cast<int>(random() % 60),
            static_cast<int>(1999 + random() % 28));
        buffer += line;
        if (random() % 100 < 95) {
            char subject[200];
            std::snprintf(subject, sizeof subject, pick(subjects), i);
            buffer += " Subject: ";
            buffer += subject;
            buffer += '\n';
        }
        if (kind >= 990 && kind < 995) {
            buffer += "  Folder: \n"; // a recipe that does not deliver
        } else {
            std::string folder = "  Folder: ";
            folder += pick(folders);
            size_t column = folder.size();
            while (column < 72) {
                folder += '\t';
                column = (column / 8 + 1) * 8;
            }
            const unsigned long size = kind >= 995 ? 10000000 + random() % 90000000 : 300 + random() % 200000;
            char digits[32];
            std::snprintf(digits, sizeof digits, "%lu", size);
            if (std::strlen(digits) < 7)
                std::snprintf(digits, sizeof digits, "%7lu", size);
            else
                folder += '\t';
            folder += digits;
            buffer += folder;
            buffer += '\n';
        }
        if (buffer.size() > (1 << 20) - 1024) {
            std::fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
