#pragma once

#include <climits>
#include <cstddef>

#include <QByteArray>
#include <QString>

class TiXmlDocument;

namespace vantelo {

// Bounds on every XML file the program reads: the language packs' Main.xml and
// Channels.xml, Settings.xml and Favorites.xml. A file beyond one of them is
// refused before TinyXML sees it and counts as unreadable, like a missing pack
// file or a settings file with a syntax error.
//
// Size: the largest shipped pack file is under 100 KB and a settings file about
// 600 bytes; 1 MiB leaves room for ten thousand favourites. TinyXML reads the
// whole file into memory and builds a node of some 200 bytes for each element
// or attribute, so the bound is also what keeps a hostile file's memory small.
inline constexpr qint64 kMaxXmlFileBytes = 1024 * 1024;
// Nesting: TinyXML parses (and frees) each level of elements with a recursive
// call, so a file of nothing but "<a><a><a>..." runs the stack over. No file
// of ours nests deeper than four levels; 64 levels need a few kilobytes of stack.
inline constexpr int kMaxXmlDepth = 64;
// Attributes of one element: TinyXML looks each new one up among those already
// read, which is quadratic in their number. Ours carry at most four.
inline constexpr int kMaxXmlAttributes = 64;

// What the parser would build from a text: its deepest nesting of elements
// (the root element is at depth 1) and the most attributes it would read for
// one element.
struct XmlShape {
    int depth = 0;
    int attributes = 0;
};

// Measures the shape without building anything, by following TinyXML 2.6's
// own reading rules (which parts are comments, attribute values, CDATA or
// unknown tags, how it steps over UTF-8 sequences and character references),
// so that what it counts is what the parser would do, also for broken input.
// text must end in a zero byte (or hold one at size). The scan stops at the
// point where the parser would stop, or once depth or attributes pass their
// limit; the limit is then exceeded in the result.
XmlShape MeasureXmlShape(const char* text, std::size_t size, int depthLimit = INT_MAX,
                         int attributeLimit = INT_MAX);

// The text as TinyXML's LoadFile() would hand it to the parser: up to the first
// zero byte, every CR LF and every lone CR made a LF. Zero bytes follow it,
// more than the parser ever looks past the end of its text: at the end of an
// unterminated attribute value, comment or UTF-8 sequence it reads a few bytes
// beyond the terminating zero, which LoadFile()'s own buffer does not have.
QByteArray PrepareXmlText(const QByteArray& bytes);

// Why a file gave no document.
enum class XmlReadResult {
    Parsed,
    CannotOpen,       // missing, no permission, a symbolic link where none is allowed
    NotARegularFile,  // a folder, FIFO or device
    TooLarge,
    TooDeep,
    TooManyAttributes,
    Malformed,  // TinyXML reported an error
};

// Parses the bytes of a file within the bounds above.
XmlReadResult ParseXmlBytes(const QByteArray& bytes, TiXmlDocument& document);

// Reads and parses the regular file open as descriptor. name only goes into the
// warning logged when the file is refused.
XmlReadResult ReadXmlFile(int descriptor, TiXmlDocument& document, const QString& name);

// Opens path as OpenForReading() does, then reads it as ReadXmlFile().
XmlReadResult LoadXmlFile(const QString& path, TiXmlDocument& document);

}  // namespace vantelo
