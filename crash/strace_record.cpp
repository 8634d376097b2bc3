#include "strace_record.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>


namespace crash {

namespace {

// One argument of a traced call: a string, or a number with the path strace
// puts after descriptors (-y), or a bare word (flags).
struct Arg {
    QByteArray text;  // the raw token
    QByteArray bytes; // a decoded string
    QString path;     // the decoded <...> path of a descriptor
    long long number = 0;
    bool isNumber = false;
};

QByteArray unhex(QByteArrayView quoted)
{
    // -xx prints every byte as \xHH.
    QByteArray out;
    for (qsizetype at = 0; at + 3 < quoted.size() + 1; ) {
        if (quoted.sliced(at).startsWith("\\x")) {
            out.append(char(QByteArray(quoted.sliced(at + 2, 2).toByteArray()).toInt(nullptr, 16)));
            at += 4;
        } else {
            out.append(quoted[at]);
            ++at;
        }
    }
    return out;
}

// Splits "a, "b, c", {x, y}" at its top-level commas.
QList<QByteArray> split(QByteArrayView args)
{
    QList<QByteArray> out;
    int depth = 0;
    bool quoted = false;
    qsizetype from = 0;
    for (qsizetype at = 0; at < args.size(); ++at) {
        const char c = args[at];
        if (quoted) {
            if (c == '\\')
                ++at;
            else if (c == '"')
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '{' || c == '[' || c == '<' || c == '(') {
            ++depth;
        } else if (c == '}' || c == ']' || c == '>' || c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            out.append(args.sliced(from, at - from).trimmed().toByteArray());
            from = at + 1;
        }
    }
    if (from < args.size())
        out.append(args.sliced(from).trimmed().toByteArray());
    return out;
}

Arg parseArg(const QByteArray &token)
{
    Arg arg;
    arg.text = token;
    if (token.startsWith('"')) {
        const qsizetype end = token.lastIndexOf('"');
        arg.bytes = unhex(QByteArrayView(token).sliced(1, end - 1));
        return arg;
    }
    const qsizetype open = token.indexOf('<');
    const QByteArray head = open < 0 ? token : token.left(open);
    if (open >= 0)
        arg.path = QString::fromLocal8Bit(unhex(QByteArrayView(token).sliced(open + 1, token.lastIndexOf('>') - open - 1)));
    arg.number = head.toLongLong(&arg.isNumber, 0);
    return arg;
}

struct Call {
    QByteArray name;
    QList<Arg> args;
    Arg result;
    bool ok = false;
    QByteArray line;
};

std::optional<Call> parseCall(const QByteArray &line)
{
    const qsizetype open = line.indexOf('(');
    const qsizetype equals = line.lastIndexOf(" = ");
    if (open < 0 || equals < open)
        return std::nullopt;
    Call call;
    call.line = line;
    call.name = line.left(open).trimmed();
    const qsizetype close = line.lastIndexOf(')', equals);
    for (const QByteArray &token : split(QByteArrayView(line).sliced(open + 1, close - open - 1)))
        call.args.append(parseArg(token));
    QByteArray result = line.mid(equals + 3).trimmed();
    // "= -1 EIO (Input/output error) (INJECTED)"
    call.result = parseArg(result.left(result.indexOf(' ') < 0 ? result.size() : result.indexOf(' ')));
    call.ok = call.result.isNumber && call.result.number >= 0;
    return call;
}

// The flags of an open call as strace names them (O_CREAT|O_TRUNC ...).
using Flags = QList<QByteArray>;

Flags flagsOf(const Arg &arg)
{
    return arg.text.split('|');
}

class Parser {
public:
    Parser(const QString &folder, const Disk &start, const QByteArray &marker)
        : m_folder(QFileInfo(folder).absoluteFilePath()), m_marker(marker)
    {
        m_recording.end = start;
    }

    void take(const Call &call);
    Recording done() { return std::move(m_recording); }

private:
    struct Descriptor {
        int file = -1;
        bool folder = false;
        qint64 offset = 0;
        bool append = false;
    };

    // The bare name of an absolute or relative path in the watched folder, or "".
    static QString resolve(const Arg &dir, const Arg &path)
    {
        const QString full = QString::fromLocal8Bit(path.bytes);
        return full.startsWith(u'/') ? full : dir.path + u'/' + full;
    }
    QString nameIn(const Arg &dir, const Arg &path) const
    {
        const QFileInfo info(resolve(dir, path));
        return QFileInfo(info.absolutePath()).absoluteFilePath() == m_folder ? info.fileName() : QString();
    }
    bool isFolder(const QString &path) const { return QFileInfo(path).absoluteFilePath() == m_folder; }
    void record(Op op)
    {
        op.call = describe(op, m_recording.end);
        if (op.kind == OpKind::Link || op.kind == OpKind::Create || op.kind == OpKind::Rename)
            op.replaces = m_recording.end.names.contains(op.kind == OpKind::Rename ? op.to : op.name);
        if (op.kind == OpKind::Rename)
            op.file = m_recording.end.names.value(op.name, -1);
        apply(m_recording.end, op);
        m_recording.ops.append(op);
    }
    void opened(const Call &call, const Arg &dir, const Arg &path, const Flags &flags);

    QString m_folder;
    QByteArray m_marker;
    Recording m_recording;
    QHash<long long, Descriptor> m_descriptors;
};

void Parser::opened(const Call &call, const Arg &dir, const Arg &path, const Flags &flags)
{
    if (!call.ok)
        return;
    const long long fd = call.result.number;
    m_descriptors.remove(fd);
    if (flags.contains("O_TMPFILE")) {
        if (!isFolder(resolve(dir, path)))
            return;
        Op op{OpKind::Create};
        op.file = m_recording.end.files.isEmpty() ? 0 : m_recording.end.files.lastKey() + 1;
        m_descriptors.insert(fd, {op.file});
        record(op);
        return;
    }
    if (isFolder(call.result.path)) {
        m_descriptors.insert(fd, {-1, true});
        return;
    }
    const QString name = nameIn(dir, path);
    if (name.isEmpty())
        return;
    Descriptor descriptor;
    descriptor.append = flags.contains("O_APPEND");
    const auto existing = m_recording.end.names.constFind(name);
    if (existing != m_recording.end.names.cend()) {
        descriptor.file = *existing;
        if (flags.contains("O_TRUNC")) {
            Op op{OpKind::Truncate};
            op.file = descriptor.file;
            record(op);
        }
    } else {
        Op op{OpKind::Create};
        op.name = name;
        op.file = m_recording.end.files.isEmpty() ? 0 : m_recording.end.files.lastKey() + 1;
        descriptor.file = op.file;
        record(op);
    }
    m_descriptors.insert(fd, descriptor);
}

void Parser::take(const Call &call)
{
    const QList<Arg> &a = call.args;
    const QByteArray &name = call.name;
    const auto descriptor = [&](int index) -> Descriptor * {
        if (a.size() <= index)
            return nullptr;
        const auto found = m_descriptors.find(a[index].number);
        return found == m_descriptors.end() ? nullptr : &*found;
    };
    if (name == "openat" && a.size() >= 3) {
        opened(call, a[0], a[1], flagsOf(a[2]));
    } else if ((name == "open" || name == "creat") && a.size() >= 1) {
        opened(call, Arg{}, a[0], name == "creat" ? Flags{"O_CREAT", "O_WRONLY", "O_TRUNC"} : flagsOf(a.value(1)));
    } else if (name == "close" && call.ok) {
        m_descriptors.remove(a.value(0).number);
    } else if ((name == "write" || name == "pwrite64") && call.ok) {
        if (a.value(0).number == 1 && a.value(1).bytes == m_marker) {
            record(Op(OpKind::Confirm));
            return;
        }
        Descriptor *d = descriptor(0);
        if (!d || d->folder)
            return;
        Op op{OpKind::Write};
        op.file = d->file;
        op.bytes = a[1].bytes.left(call.result.number);
        op.offset = name == "pwrite64" ? a.value(3).number : d->append ? m_recording.end.files.value(d->file).size() : d->offset;
        if (name == "write")
            d->offset = op.offset + op.bytes.size();
        record(op);
    } else if (name == "lseek" && call.ok) {
        if (Descriptor *d = descriptor(0))
            d->offset = call.result.number;
    } else if (name == "ftruncate" && call.ok) {
        if (Descriptor *d = descriptor(0); d && !d->folder) {
            Op op{OpKind::Truncate};
            op.file = d->file;
            op.offset = a.value(1).number;
            record(op);
        }
    } else if (name == "fsync" || name == "fdatasync") {
        Descriptor *d = descriptor(0);
        if (!d)
            return;
        Op op{d->folder ? OpKind::SyncFolder : OpKind::SyncFile};
        op.file = d->file;
        op.failed = !call.ok;
        record(op);
    } else if ((name == "rename" || name == "renameat" || name == "renameat2") && call.ok) {
        const bool at = name != "rename";
        Op op{OpKind::Rename};
        op.name = nameIn(at ? a[0] : Arg{}, a[at ? 1 : 0]);
        op.to = nameIn(at ? a[2] : Arg{}, a[at ? 3 : 1]);
        if (!op.name.isEmpty() || !op.to.isEmpty())
            record(op);
    } else if ((name == "link" || name == "linkat") && call.ok) {
        const bool at = name == "linkat";
        const QByteArray from = a[at ? 1 : 0].bytes;
        Op op{OpKind::Link};
        op.name = nameIn(at ? a[2] : Arg{}, a[at ? 3 : 1]);
        static const QRegularExpression viaDescriptor(QStringLiteral("^/proc/self/fd/(\\d+)$"));
        const QRegularExpressionMatch match = viaDescriptor.match(QString::fromLocal8Bit(from));
        if (match.hasMatch())
            op.file = m_descriptors.value(match.captured(1).toLongLong(), {}).file;
        else
            op.file = m_recording.end.names.value(nameIn(at ? a[0] : Arg{}, a[at ? 1 : 0]), -1);
        if (!op.name.isEmpty() && op.file >= 0)
            record(op);
    } else if ((name == "unlink" || name == "unlinkat") && call.ok) {
        Op op{OpKind::Unlink};
        op.name = name == "unlink" ? nameIn(Arg{}, a[0]) : nameIn(a[0], a[1]);
        if (!op.name.isEmpty())
            record(op);
    } else if ((name == "mkdir" || name == "mkdirat") && call.ok) {
        Op op{OpKind::Mkdir};
        op.name = name == "mkdir" ? nameIn(Arg{}, a[0]) : nameIn(a[0], a[1]);
        if (!op.name.isEmpty())
            record(op);
    } else if (name == "truncate" ? !nameIn(Arg{}, a.value(0)).isEmpty() : descriptor(0) != nullptr) {
        // A call that changes a watched file in a way no model knows.
        static const QList<QByteArray> changing = {"truncate", "writev", "pwritev", "pwritev2", "fallocate",
                                                    "copy_file_range", "sendfile", "sync_file_range"};
        if (changing.contains(name))
            m_recording.unknown.append(QString::fromLatin1(name));
    }
}

} // namespace

Recording parseStrace(const QByteArray &trace, const QString &folder, const Disk &start, const QByteArray &marker)
{
    Parser parser(folder, start, marker);
    // With -f, a call another thread interrupts is printed in two halves.
    QHash<QByteArray, QByteArray> unfinished;
    for (QByteArray line : trace.split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray pid = space > 0 && line.left(space).toLongLong() > 0 ? line.left(space) : QByteArray();
        if (!pid.isEmpty())
            line = line.mid(space + 1);
        if (line.endsWith("<unfinished ...>")) {
            unfinished.insert(pid, line.chopped(int(sizeof "<unfinished ...>") - 1));
            continue;
        }
        if (line.startsWith("<... ")) {
            const qsizetype resumed = line.indexOf("resumed>");
            line = unfinished.take(pid) + line.mid(resumed + 8);
        }
        if (std::optional<Call> call = parseCall(line))
            parser.take(*call);
    }
    return parser.done();
}

} // namespace crash
