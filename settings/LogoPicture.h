#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The logo pictures of the bloqueto, chosen in the customisation window and printed on
// the payer's receipt and the delivery voucher. A picture's kind comes from its file name
// extension, without regard to case: bmp, ico, jpg/jpeg and png are read. Metafiles (wmf,
// emf) have no trustworthy reader on our platform, so they count as unknown kinds.
//
// A picture is read in full before anyone stores or prints it, and only a complete
// picture of the kind its name promises, of a size a logo can sensibly have, is accepted:
// a damaged or enormous file is refused with a message, never half drawn or allowed to
// exhaust memory.
class LogoPicture {
public:
    // The Qt image format of a file name ("bmp", "ico", "jpeg", "png"), or empty when
    // the extension is not a kind the program reads.
    static QByteArray formatFor(const QString& path);

    // Reads a logo file. Raises "Arquivo de Logomarca não encontrado" when the file cannot
    // be opened, and "Tipo de arquivo inválido" when its kind is unknown or its contents
    // are not a readable picture of that kind.
    static QImage load(const QString& path);

    // The same check over bytes already in memory; format as formatFor answers it.
    static QImage decode(const QByteArray& data, const QByteArray& format);

    static QString notFoundMessage();
    static QString invalidKindMessage();

    // Limits well beyond any logo, far below what would strain the machine.
    static constexpr int kMaxSide = 10000;
    static constexpr qint64 kMaxPixels = qint64(16) * 1024 * 1024;
    static constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;
};
