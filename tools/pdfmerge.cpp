#include "pdfmerge.h"

#include "errors.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace zarn::pdf {

namespace {

[[noreturn]] void refuse(const QString &file, const char *what)
{
    throw Error(QStringLiteral("无法合并 PDF 文件 %1：%2").arg(file, QString::fromLatin1(what)));
}

// One PDF as Qt writes it: a cross-reference table with an offset for
// every object, a trailer naming the catalog, a page tree of one level.
struct Document
{
    QString name;
    QFile file;
    qint64 size = 0;
    qint64 xref = 0;
    std::vector<qint64> offsets; // per object number; 0 for none
    std::vector<qint64> ends;    // where each object's bytes end
    int root = 0, info = 0, pages = 0;
    std::vector<int> kids;

    // Bytes of the file, read as needed: a long report's parts are large.
    QByteArray bytes(qint64 offset, qint64 count)
    {
        if (offset < 0 || count < 0 || offset + count > size || !file.seek(offset))
            return {};
        return file.read(count);
    }
    QByteArray object(int number)
    {
        return bytes(offsets[size_t(number)], ends[size_t(number)] - offsets[size_t(number)]);
    }
};

// The number before " 0 R" following `key` in `text`, or 0.
int reference(const QByteArray &text, const char *key)
{
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return 0;
    qsizetype i = at + qsizetype(std::strlen(key));
    while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    int number = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        number = number * 10 + (text[i++] - '0');
    return text.mid(i, 4) == " 0 R" ? number : 0;
}

void open(Document &doc, const QString &name)
{
    doc.name = name;
    doc.file.setFileName(name);
    if (!doc.file.open(QIODevice::ReadOnly))
        refuse(name, "cannot be read");
    doc.size = doc.file.size();
    if (doc.size < 32 || doc.bytes(0, 5) != "%PDF-")
        refuse(name, "not a PDF file");

    // startxref, near the end
    const qint64 tailAt = std::max<qint64>(0, doc.size - 128);
    const QByteArray tail = doc.bytes(tailAt, doc.size - tailAt);
    const qsizetype startxref = tail.lastIndexOf("startxref");
    if (startxref < 0)
        refuse(name, "no startxref");
    doc.xref = tail.mid(startxref + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
    if (doc.xref <= 0 || doc.xref >= doc.size || doc.bytes(doc.xref, 4) != "xref")
        refuse(name, "no cross-reference table");

    // "xref\n0 N\n" then N entries of 20 bytes, then the trailer
    const QByteArray table = doc.bytes(doc.xref, tailAt + startxref - doc.xref);
    const qsizetype lineEnd = table.indexOf('\n', 5);
    const QList<QByteArray> head = table.mid(5, lineEnd - 5).trimmed().split(' ');
    const int count = head.value(1).toInt();
    if (lineEnd < 0 || head.value(0) != "0" || count <= 1 || lineEnd + 1 + qint64(count) * 20 > table.size())
        refuse(name, "unexpected cross-reference table");
    doc.offsets.assign(size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        const char *entry = table.constData() + lineEnd + 1 + qint64(i) * 20;
        if (entry[17] == 'n')
            doc.offsets[size_t(i)] = QByteArray(entry, 10).toLongLong();
    }
    // Objects lie back to back: each ends where the next begins.
    std::vector<qint64> sorted;
    for (qint64 offset : doc.offsets)
        if (offset > 0)
            sorted.push_back(offset);
    std::sort(sorted.begin(), sorted.end());
    doc.ends.assign(size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        const qint64 offset = doc.offsets[size_t(i)];
        if (offset <= 0)
            continue;
        if (offset >= doc.xref)
            refuse(name, "object after the cross-reference table");
        const auto next = std::upper_bound(sorted.begin(), sorted.end(), offset);
        doc.ends[size_t(i)] = next == sorted.end() ? doc.xref : *next;
    }

    const qsizetype trailerAt = table.indexOf("trailer", lineEnd);
    if (trailerAt < 0)
        refuse(name, "no trailer");
    const QByteArray trailer = table.mid(trailerAt);
    doc.root = reference(trailer, "/Root");
    doc.info = reference(trailer, "/Info");
    if (doc.root <= 0 || doc.root >= count || doc.offsets[size_t(doc.root)] == 0)
        refuse(name, "no catalog");
    doc.pages = reference(doc.object(doc.root), "/Pages");
    if (doc.pages <= 0 || doc.pages >= count || doc.offsets[size_t(doc.pages)] == 0)
        refuse(name, "no page tree");
    const QByteArray pages = doc.object(doc.pages);
    const qsizetype open = pages.indexOf("/Kids");
    const qsizetype from = pages.indexOf('[', open);
    const qsizetype to = pages.indexOf(']', from);
    if (open < 0 || from < 0 || to < 0)
        refuse(name, "no page list");
    const QList<QByteArray> words = pages.mid(from + 1, to - from - 1).simplified().split(' ');
    for (qsizetype i = 0; i + 2 < words.size(); i += 3) {
        if (words[i + 1] != "0" || words[i + 2] != "R")
            refuse(name, "unexpected page list");
        doc.kids.push_back(words[i].toInt());
    }
}

// Renumbers "n 0 R" and "n 0 obj" in an object's dictionary part.
QByteArray renumbered(const QByteArray &text, int shift)
{
    QByteArray out;
    out.reserve(text.size() + 64);
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const bool startsNumber = c >= '0' && c <= '9'
            && (i == 0 || (!(text[i - 1] >= '0' && text[i - 1] <= '9') && text[i - 1] != '.'));
        if (startsNumber) {
            qsizetype j = i;
            int number = 0;
            while (j < text.size() && text[j] >= '0' && text[j] <= '9')
                number = number * 10 + (text[j++] - '0');
            const bool ref = text.mid(j, 4) == " 0 R";
            const bool obj = text.mid(j, 6) == " 0 obj";
            if ((ref || obj) && number > 0) {
                out += QByteArray::number(number + shift);
                i = j;
                continue;
            }
            out += text.mid(i, j - i);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace

void mergeFiles(const QString &first, const QString &second, const QString &output)
{
    Document a, b;
    open(a, first);
    open(b, second);
    const int shift = int(a.offsets.size()) - 1; // b's object n becomes n + shift
    const int total = int(a.offsets.size() + b.offsets.size()) - 1;

    QFile out(output);
    if (!out.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("无法写入 %1：%2").arg(output, out.errorString()));
    std::vector<qint64> offsets(size_t(total), 0);
    for (size_t i = 0; i < a.offsets.size(); ++i)
        offsets[i] = a.offsets[i];
    qint64 at = a.xref;
    auto write = [&](const char *data, qint64 size) {
        if (out.write(data, size) != size)
            throw Error(QStringLiteral("无法写入 %1：%2").arg(output, out.errorString()));
        at += size;
    };
    // Everything of the first file but its cross-reference table, in pieces.
    for (qint64 from = 0; from < a.xref; from += qint64(1) << 22) {
        const QByteArray piece = a.bytes(from, std::min<qint64>(qint64(1) << 22, a.xref - from));
        write(piece.constData(), piece.size());
    }

    const QByteArray ownParent = "/Parent " + QByteArray::number(b.pages + shift) + " 0 R";
    const QByteArray newParent = "/Parent " + QByteArray::number(a.pages) + " 0 R";
    for (size_t n = 1; n < b.offsets.size(); ++n) {
        if (b.offsets[n] == 0)
            continue;
        offsets[n + size_t(shift)] = at;
        const QByteArray data = b.object(int(n));
        // The dictionary is renumbered; a stream's bytes are copied as they are.
        qsizetype stream = data.left(4096).indexOf("stream\n");
        if (stream < 0)
            stream = data.left(4096).indexOf("stream\r\n");
        const qsizetype dictionary = stream >= 0 ? stream : data.size();
        QByteArray rewritten = renumbered(data.left(dictionary), shift);
        rewritten.replace(ownParent, newParent);
        write(rewritten.constData(), rewritten.size());
        write(data.constData() + dictionary, data.size() - dictionary);
    }

    // The first file's page tree, again, with every page.
    offsets[size_t(a.pages)] = at;
    QByteArray tree = QByteArray::number(a.pages) + " 0 obj\n<<\n/Type /Pages\n/Kids [\n";
    for (int kid : a.kids)
        tree += QByteArray::number(kid) + " 0 R\n";
    for (int kid : b.kids)
        tree += QByteArray::number(kid + shift) + " 0 R\n";
    tree += "]\n/Count " + QByteArray::number(qint64(a.kids.size() + b.kids.size())) + "\n>>\nendobj\n";
    write(tree.constData(), tree.size());

    const qint64 xref = at;
    QByteArray table = "xref\n0 " + QByteArray::number(total) + "\n0000000000 65535 f \n";
    for (int n = 1; n < total; ++n) {
        if (offsets[size_t(n)] > 0)
            table += QByteArray::number(offsets[size_t(n)]).rightJustified(10, '0') + " 00000 n \n";
        else
            table += "0000000000 65535 f \n";
    }
    table += "trailer\n<<\n/Size " + QByteArray::number(total) + "\n";
    if (a.info > 0)
        table += "/Info " + QByteArray::number(a.info) + " 0 R\n";
    table += "/Root " + QByteArray::number(a.root) + " 0 R\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    write(table.constData(), table.size());
    if (!out.flush())
        throw Error(QStringLiteral("无法写入 %1：%2").arg(output, out.errorString()));
}

} // namespace zarn::pdf
