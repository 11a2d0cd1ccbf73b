#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A message as a mail program would read it, for the tests: headers unfolded and their
// encoded words decoded, the MIME parts with their transfer encodings undone.
class ReceivedMail {
public:
    struct Part {
        QByteArray contentType; // as written, parameters included
        QString fileName;       // of an attachment
        QByteArray bytes;       // decoded
    };

    explicit ReceivedMail(const QByteArray& raw);

    // The header's value decoded ("=?UTF-8?B?...?=" words into text); empty when absent.
    QString header(const QByteArray& name) const;
    QByteArray rawHeader(const QByteArray& name) const;
    const QList<Part>& parts() const { return m_parts; }
    // The first text/plain part as UTF-8 text.
    QString text() const;
    // The first part with a file name.
    const Part* attachment() const;

    static QString decodeWords(const QByteArray& value);
    static QByteArray quotedPrintable(const QByteArray& encoded);

private:
    QList<std::pair<QByteArray, QByteArray>> m_headers;
    QList<Part> m_parts;
};
