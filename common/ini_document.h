#pragma once
// The settings file's text format, held as bytes: sections in square brackets,
// one "key=value" per line, GBK text, CR LF line ends. Reading and writing
// follow the platform profile-string rules so that existing files stay
// readable and untouched lines survive every write byte for byte.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace qarvel {

class IniDocument {
public:
    // The profile functions copy into a 255-character buffer that ends in NUL,
    // so at most 254 bytes of a value come back.
    static constexpr int kValueBufferSize = 255;

    IniDocument() = default;
    // Any bytes are accepted; lines end at LF, a CR before it is dropped.
    explicit IniDocument(const QByteArray& bytes);

    // The stored value: blanks around it trimmed and one pair of enclosing
    // quotes removed. Section and key names match without regard to case; the
    // first matching section and, within it, the first matching key count.
    // nullopt when the section or key is absent or the key line has no "=".
    std::optional<QString> value(const QString& section, const QString& key) const;

    // What a profile read returns: the value, or defaultText when the key is
    // absent, either cut to 254 bytes in GBK without splitting a character.
    QString readString(const QString& section, const QString& key, const QString& defaultText) const;

    // Sets key=value. An existing key keeps its line and its spelling; a new
    // key goes after the last non-blank line of its section; a new section goes
    // at the end. Names and value are trimmed of blanks. False, with nothing
    // changed, when a name is empty or a text could not be read back as
    // written (line breaks anywhere, "=" in the key, "]" in the section name).
    [[nodiscard]] bool setValue(const QString& section, const QString& key, const QString& value);

    // Every line followed by CR LF.
    QByteArray toBytes() const;

    // Lines are decoded once, when read or set: lookups only compare names,
    // so a large file costs one pass however many keys are read.
    struct Line {
        enum Kind { Other, Section, Key };
        QByteArray raw;  // as stored, without the line end
        Kind kind = Other;
        QString name;
        std::optional<QString> value;  // only for Key lines that have "="
        bool blank = true;             // nothing but blanks
    };

private:
    std::optional<qsizetype> findSection(const QString& section) const;
    qsizetype sectionEnd(qsizetype headerLine) const;

    QList<Line> lines_;
};

}  // namespace qarvel
