#include "platform/xml_file.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include <QtGlobal>
#include <tinyxml.h>

#include "platform/bounded_file.h"

namespace vantelo {
namespace {

// Zero bytes after the text. The parser looks at most a UTF-8 sequence (3
// bytes) plus an end marker ("-->", 3 bytes) plus a byte-order-mark check (2
// bytes) past the terminating zero; 16 leave a margin.
constexpr qsizetype kZeroPadding = 16;

// The scanner below mirrors TinyXML 2.6.2's parser (tinyxmlparser.cpp) step by
// step; the names in the comments are the parser's functions. Each Skip
// function returns the position where the parser goes on, or kStop where the
// parser gives up: after its first error it reads nothing more, so nothing
// after that point can nest it any deeper.
class ShapeScanner {
public:
    ShapeScanner(const char* text, std::size_t size, int depthLimit, int attributeLimit)
        : m_text(reinterpret_cast<const unsigned char*>(text)),
          m_size(size),
          m_depthLimit(depthLimit),
          m_attributeLimit(attributeLimit)
    {
    }

    XmlShape Run()
    {
        // TiXmlDocument::Parse
        std::size_t at = SkipSpace(0);
        int depth = 0;
        while (at != kStop && Byte(at) != 0) {
            if (Byte(at) != '<') {
                // Text at the top level ends the document; inside an element it
                // runs to the next '<' (TiXmlElement::ReadValue).
                if (depth == 0)
                    break;
                at = SkipText(at);
                continue;
            }
            if (depth > 0 && Byte(at + 1) == '/') {
                // The end tag of the open element: "</name", white space, '>'.
                // Whether the name matches only decides whether the parser fails
                // here, and nothing counts after a failure.
                --depth;
                at = SkipPastByte(at + 2, '>');
            } else {
                at = SkipNode(at, depth);
            }
            if (m_shape.depth > m_depthLimit || m_shape.attributes > m_attributeLimit)
                break;
            if (at != kStop)
                at = SkipSpace(at);
        }
        return m_shape;
    }

private:
    static constexpr std::size_t kStop = SIZE_MAX;

    unsigned char Byte(std::size_t at) const { return at < m_size ? m_text[at] : 0; }

    // TiXmlBase::IsWhiteSpace, IsAlpha and IsAlphaNum: the C library's classes
    // below 127 (in the same locale the parser runs in), every other byte a letter.
    static bool IsSpace(unsigned char c) { return std::isspace(c) != 0; }
    static bool IsNameStart(unsigned char c) { return c == '_' || (c < 127 ? std::isalpha(c) != 0 : true); }
    static bool IsNameChar(unsigned char c)
    {
        return c == '_' || c == '-' || c == '.' || c == ':' || (c < 127 ? std::isalnum(c) != 0 : true);
    }

    // TiXmlBase::ToLower as StringEqual() calls it, with a plain (signed) char.
    static int Lower(unsigned char c)
    {
        const int value = static_cast<signed char>(c);
        return value < 128 ? std::tolower(value) : value;
    }

    bool Matches(std::size_t at, const char* word) const
    {
        for (std::size_t k = 0; word[k] != 0; ++k) {
            if (Byte(at + k) != static_cast<unsigned char>(word[k]))
                return false;
        }
        return true;
    }

    bool MatchesIgnoringCase(std::size_t at, const char* word) const
    {
        for (std::size_t k = 0; word[k] != 0; ++k) {
            if (Byte(at + k) == 0 || Lower(Byte(at + k)) != Lower(static_cast<unsigned char>(word[k])))
                return false;
        }
        return true;
    }

    // TiXmlBase::SkipWhiteSpace, which also steps over the three-byte sequences
    // EF BB BF, EF BF BE and EF BF BF.
    std::size_t SkipSpace(std::size_t at) const
    {
        while (Byte(at) != 0) {
            if (Byte(at) == 0xEF && ((Byte(at + 1) == 0xBB && Byte(at + 2) == 0xBF) ||
                                     (Byte(at + 1) == 0xBF && (Byte(at + 2) == 0xBE || Byte(at + 2) == 0xBF)))) {
                at += 3;
            } else if (IsSpace(Byte(at))) {
                ++at;
            } else {
                break;
            }
        }
        return at;
    }

    // TiXmlBase::GetChar: a UTF-8 lead byte takes the length its table gives,
    // whatever the bytes after it are, so a broken sequence can swallow a '<'
    // or a quote.
    std::size_t NextChar(std::size_t at) const
    {
        const unsigned char lead = Byte(at);
        if (lead >= 0xC2 && lead <= 0xDF)
            return at + 2;
        if (lead >= 0xE0 && lead <= 0xEF)
            return at + 3;
        if (lead >= 0xF0 && lead <= 0xF4)
            return at + 4;
        return lead == '&' ? SkipReference(at) : at + 1;
    }

    // TiXmlBase::GetEntity. A numeric reference runs to the next ';' and is read
    // backwards from there to the 'x' or '#': only the digits after the last
    // 'x' (or '#') are checked, so "&#x" ... "x41;" swallows whatever is between,
    // tags included.
    std::size_t SkipReference(std::size_t at) const
    {
        if (Byte(at + 1) == '#' && Byte(at + 2) != 0) {
            const bool hex = Byte(at + 2) == 'x';
            const std::size_t from = hex ? at + 3 : at + 2;
            if (Byte(from) == 0)
                return kStop;
            const void* found = std::memchr(m_text + from, ';', m_size - from);
            if (found == nullptr)
                return kStop;
            const auto semicolon = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - m_text);
            for (std::size_t k = semicolon - 1; Byte(k) != (hex ? 'x' : '#'); --k) {
                const unsigned char c = Byte(k);
                const bool digit = (c >= '0' && c <= '9') ||
                                   (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
                if (!digit)
                    return kStop;
            }
            return semicolon + 1;
        }
        for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
            if (Matches(at, entity))
                return at + std::strlen(entity);
        }
        return at + 1;
    }

    // TiXmlBase::ReadText keeping white space, for quoted attribute values: up
    // to and past the end marker, a character (or reference) at a time.
    std::size_t SkipKeptText(std::size_t at, const char* end) const
    {
        while (Byte(at) != 0 && !Matches(at, end)) {
            at = NextChar(at);
            if (at == kStop)
                return kStop;
        }
        if (Byte(at) == 0)
            return kStop;
        return at + std::strlen(end);
    }

    // TiXmlText::Parse for text inside an element: up to the next '<'.
    std::size_t SkipText(std::size_t at) const
    {
        at = SkipSpace(at);
        while (Byte(at) != 0 && Byte(at) != '<') {
            at = IsSpace(Byte(at)) ? at + 1 : NextChar(at);
            if (at == kStop)
                return kStop;
        }
        return Byte(at) == 0 ? kStop : at;
    }

    std::size_t SkipPastByte(std::size_t at, unsigned char end) const
    {
        while (Byte(at) != 0 && Byte(at) != end)
            ++at;
        return Byte(at) == 0 ? kStop : at + 1;
    }

    std::size_t SkipPastWord(std::size_t at, const char* end) const
    {
        while (Byte(at) != 0 && !Matches(at, end))
            ++at;
        return Byte(at) == 0 ? kStop : at + std::strlen(end);
    }

    // TiXmlNode::Identify, then the Parse of what it found, at a '<'.
    std::size_t SkipNode(std::size_t at, int& depth)
    {
        if (MatchesIgnoringCase(at, "<?xml"))
            return SkipDeclaration(at + 5);
        if (Matches(at, "<!--"))
            return SkipPastWord(at + 4, "-->");  // byte by byte, unlike attribute values
        if (Matches(at, "<![CDATA["))
            return SkipPastWord(at + 9, "]]>");
        if (Matches(at, "<!") || !IsNameStart(Byte(at + 1)))
            return SkipPastByte(at + 1, '>');  // TiXmlUnknown::Parse
        return SkipStartTag(at, depth);
    }

    // TiXmlElement::Parse up to its content.
    std::size_t SkipStartTag(std::size_t at, int& depth)
    {
        m_shape.depth = std::max(m_shape.depth, depth + 1);
        at = SkipSpace(at + 1);
        if (!IsNameStart(Byte(at)))
            return kStop;
        while (IsNameChar(Byte(at)))
            ++at;
        int attributes = 0;
        while (Byte(at) != 0) {
            at = SkipSpace(at);
            if (Byte(at) == 0)
                return kStop;
            if (Byte(at) == '/')
                return Byte(at + 1) == '>' ? at + 2 : kStop;  // an empty element
            if (Byte(at) == '>') {
                ++depth;
                return at + 1;
            }
            m_shape.attributes = std::max(m_shape.attributes, ++attributes);
            if (attributes > m_attributeLimit)
                return kStop;
            at = SkipAttribute(at);
            if (at == kStop)
                return kStop;
        }
        return kStop;
    }

    // TiXmlAttribute::Parse: name, '=', then a quoted value or one running to
    // white space, '/' or '>'.
    std::size_t SkipAttribute(std::size_t at) const
    {
        at = SkipSpace(at);
        if (!IsNameStart(Byte(at)))
            return kStop;
        while (IsNameChar(Byte(at)))
            ++at;
        at = SkipSpace(at);
        if (Byte(at) != '=')
            return kStop;
        at = SkipSpace(at + 1);
        const unsigned char quote = Byte(at);
        if (quote == '\'' || quote == '"') {
            const char end[2] = {static_cast<char>(quote), 0};
            return SkipKeptText(at + 1, end);
        }
        while (Byte(at) != 0 && !IsSpace(Byte(at)) && Byte(at) != '/' && Byte(at) != '>') {
            if (Byte(at) == '\'' || Byte(at) == '"')
                return kStop;
            ++at;
        }
        return Byte(at) == 0 ? kStop : at;
    }

    // TiXmlDeclaration::Parse after "<?xml": the three known attributes are
    // read as attributes, anything else is stepped over to white space or '>'.
    std::size_t SkipDeclaration(std::size_t at) const
    {
        while (Byte(at) != 0) {
            if (Byte(at) == '>')
                return at + 1;
            at = SkipSpace(at);
            if (Byte(at) == 0)
                return kStop;
            if (MatchesIgnoringCase(at, "version") || MatchesIgnoringCase(at, "encoding") ||
                MatchesIgnoringCase(at, "standalone")) {
                at = SkipAttribute(at);
                if (at == kStop)
                    return kStop;
            } else {
                while (Byte(at) != 0 && Byte(at) != '>' && !IsSpace(Byte(at)))
                    ++at;
            }
        }
        return kStop;
    }

    const unsigned char* m_text;
    std::size_t m_size;
    int m_depthLimit;
    int m_attributeLimit;
    XmlShape m_shape;
};

const char* RefusalReason(XmlReadResult result)
{
    switch (result) {
    case XmlReadResult::NotARegularFile:
        return "not a regular file";
    case XmlReadResult::TooLarge:
        return "larger than 1 MiB";
    case XmlReadResult::TooDeep:
        return "elements nested too deeply";
    case XmlReadResult::TooManyAttributes:
        return "too many attributes on one element";
    default:
        return nullptr;
    }
}

}  // namespace

XmlShape MeasureXmlShape(const char* text, std::size_t size, int depthLimit, int attributeLimit)
{
    const void* zero = std::memchr(text, 0, size);
    if (zero != nullptr)
        size = static_cast<std::size_t>(static_cast<const char*>(zero) - text);
    return ShapeScanner(text, size, depthLimit, attributeLimit).Run();
}

QByteArray PrepareXmlText(const QByteArray& bytes)
{
    QByteArray text(bytes.size() + kZeroPadding, '\0');
    qsizetype written = 0;
    for (qsizetype at = 0; at < bytes.size() && bytes.at(at) != '\0'; ++at) {
        if (bytes.at(at) == '\r') {
            text[written++] = '\n';
            if (at + 1 < bytes.size() && bytes.at(at + 1) == '\n')
                ++at;
        } else {
            text[written++] = bytes.at(at);
        }
    }
    text.truncate(written + kZeroPadding);
    return text;
}

XmlReadResult ParseXmlBytes(const QByteArray& bytes, TiXmlDocument& document)
{
    if (bytes.size() > kMaxXmlFileBytes)
        return XmlReadResult::TooLarge;
    const QByteArray text = PrepareXmlText(bytes);
    const XmlShape shape = MeasureXmlShape(text.constData(), static_cast<std::size_t>(text.size()), kMaxXmlDepth,
                                           kMaxXmlAttributes);
    if (shape.depth > kMaxXmlDepth)
        return XmlReadResult::TooDeep;
    if (shape.attributes > kMaxXmlAttributes)
        return XmlReadResult::TooManyAttributes;
    document.Parse(text.constData(), nullptr, TIXML_ENCODING_UTF8);
    return document.Error() ? XmlReadResult::Malformed : XmlReadResult::Parsed;
}

XmlReadResult ReadXmlFile(int descriptor, TiXmlDocument& document, const QString& name)
{
    QByteArray bytes;
    XmlReadResult result = XmlReadResult::Parsed;
    switch (ReadBoundedFile(descriptor, kMaxXmlFileBytes, bytes)) {
    case FileRefusal::None:
        result = ParseXmlBytes(bytes, document);
        break;
    case FileRefusal::NotARegularFile:
        result = XmlReadResult::NotARegularFile;
        break;
    case FileRefusal::TooLarge:
        result = XmlReadResult::TooLarge;
        break;
    case FileRefusal::ReadError:
        result = XmlReadResult::CannotOpen;
        break;
    }
    if (const char* reason = RefusalReason(result))
        qWarning("Not reading %s: %s", qPrintable(name), reason);
    return result;
}

XmlReadResult LoadXmlFile(const QString& path, TiXmlDocument& document)
{
    const UniqueFd file = OpenForReading(path);
    if (!file.valid())
        return XmlReadResult::CannotOpen;
    return ReadXmlFile(file.get(), document, path);
}

}  // namespace vantelo
