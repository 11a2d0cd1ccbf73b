#include "BankFileImporter.h"

#include "BankConversions.h"
#include "DbTable.h"
#include "KvError.h"
#include "Regional.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace BankConversions;

namespace {
// Markers of the date columns.
constexpr QByteArrayView kNoDate("000000");
constexpr QByteArrayView kOnPresentation("888888");
constexpr QByteArrayView kOnSight("999999");

// Titles due before this day were issued for a bank run that no longer accepts them.
const QDate kFirstDueDate(2000, 7, 4);
constexpr qint64 kValueCeilingCents = 9999999999; // 99.999.999,99

void addReason(QString& reasons, const QString& message)
{
    if (!reasons.isEmpty())
        reasons += QStringLiteral(", ");
    reasons += message;
}

QString especie(QByteArrayView code)
{
    static const char* const names[] = {"DM", "NP", "RC", "LC", "NS", "DS", "OU"};
    if (code.size() == 2 && code[0] == '0' && code[1] >= '1' && code[1] <= '7')
        return QString::fromLatin1(names[code[1] - '1']);
    return {};
}

QString moeda(char code)
{
    static const char* const names[] = {"REAL", "US$", "TRADU", "IDTR", "UFIR", "URV"};
    if (code >= '1' && code <= '6')
        return QString::fromLatin1(names[code - '1']);
    return {};
}

QString openFailure(const QFile& file)
{
    const QFileInfo info(file.fileName());
    const QString name = QDir::toNativeSeparators(file.fileName());
    if (!info.exists())
        return QStringLiteral("Arquivo não encontrado: %1").arg(name);
    if (info.isDir())
        return QStringLiteral("%1 é uma pasta, não um arquivo").arg(name);
    if (!info.isReadable())
        return QStringLiteral("Acesso negado ao arquivo %1").arg(name);
    return QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(name, file.errorString());
}
} // namespace

BankFileImporter::BankFileImporter(DbTable& table, Progress progress)
    : m_table(table), m_progress(std::move(progress))
{
}

void BankFileImporter::importFile(const QString& path)
{
    // Read only: the file is never written, and a bank file on a read-only medium or share
    // must import all the same.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KvError(openFailure(file));
    importFrom(file);
}

void BankFileImporter::importFrom(QIODevice& device)
{
    m_blocks = 0;
    m_completed = false;
    m_carteira.clear();
    m_carteiraText.clear();
    m_cedente.clear();

    m_table.open();
    m_table.beginBatch();
    try {
        m_table.emptyTable();
        readBlocks(device);
        if (m_table.hasPending())
            m_table.post();
        m_table.commitBatch();
    } catch (...) {
        // The rows stored so far stay, as they would without the transaction; the title
        // under construction is dropped.
        m_table.cancel();
        try {
            m_table.commitBatch();
        } catch (const KvError&) {
            // The first error is the one the user needs to read.
        }
        throw;
    }
    m_completed = true;
}

qint64 BankFileImporter::readBlock(QIODevice& device)
{
    qint64 got = 0;
    while (got < BankBlock::kSize) {
        const qint64 n = device.read(m_block.data() + got, BankBlock::kSize - got);
        if (n < 0)
            throw KvError(QStringLiteral("Erro de leitura no arquivo: %1").arg(device.errorString()));
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

void BankFileImporter::readBlocks(QIODevice& device)
{
    // The trailer ends the reading; whatever follows it is never read.
    while (m_blocks == 0 || m_block.type() != '9') {
        if (readBlock(device) == 0)
            break;
        ++m_blocks;
        if (m_progress)
            m_progress(m_blocks);
        switch (m_block.type()) {
        case '0':
            takeHeader();
            break;
        case '1':
            storeDetail();
            break;
        case '2':
            // With no title under construction the table refuses the text.
            m_table.setMemo(QStringLiteral("BlqMsg"), m_block.text(2, 391));
            break;
        case '3':
            m_table.setMemo(QStringLiteral("BlqIns"), m_block.text(2, 391));
            break;
        default:
            break;
        }
    }
}

void BankFileImporter::takeHeader()
{
    m_carteira = m_block.columns(10, 11).toByteArray();
    m_carteiraText = m_block.text(10, 11);
    m_cedente = m_block.text(47, 76);
}

void BankFileImporter::storeDetail()
{
    // Every detail record is a title of its own, even with the key of the one before it;
    // starting it stores the title under construction.
    m_table.append();
    storeLateFee();
    m_table.setText(QStringLiteral("BlqNomCed"), m_cedente);
    m_table.setText(QStringLiteral("BlqTipCar"), m_carteiraText);
    m_table.setText(QStringLiteral("BlqAgeCod"), m_block.text(63, 66));
    m_table.setText(QStringLiteral("BlqCtrCod"), m_block.text(29, 37));
    m_table.setText(QStringLiteral("BlqNosNum"), m_block.text(67, 77));
    m_table.setText(QStringLiteral("BlqSeuNum"), m_block.text(111, 120));
    storeDates();
    QString reasons(QStringLiteral("")); // an empty reason text is stored empty, not null
    storeTitleValue(reasons);
    storeAmountsAndTexts();
    checkTitle(reasons);
    m_table.setBool(QStringLiteral("BlqRegVal"), reasons.isEmpty());
    m_table.setText(QStringLiteral("BlqMsgErr"), reasons);
}

void BankFileImporter::storeLateFee()
{
    const char code = m_block.at(4);
    if (code == '1') {
        m_table.setFloat(QStringLiteral("BlqValMul"), amount(m_block.columns(5, 17)));
    } else if (code == '2') {
        // A percentage of the title value, whatever the currency: the value must be a number.
        const double percent = amount(m_block.columns(5, 17));
        m_table.setFloat(QStringLiteral("BlqValMul"),
                         percent / 100.0 * amount(m_block.columns(127, 139)));
    }
    if (!m_block.columnsAre(18, 23, kNoDate))
        m_table.setDate(QStringLiteral("BlqDatMul"), date(m_block.columns(18, 23)));
}

void BankFileImporter::storeDates()
{
    if (!m_block.columnsAre(151, 156, kNoDate))
        m_table.setDate(QStringLiteral("BlqDatEmi"), date(m_block.columns(151, 156)));
    m_dueDate = QDate();
    const QByteArrayView due = m_block.columns(121, 126);
    if (due == kOnPresentation) {
        m_table.setBool(QStringLiteral("BlqIdcAvi"), false);
        m_table.setBool(QStringLiteral("BlqIdcCAp"), true);
    } else if (due == kOnSight) {
        m_table.setBool(QStringLiteral("BlqIdcAvi"), true);
        m_table.setBool(QStringLiteral("BlqIdcCAp"), false);
    } else if (due != kNoDate) {
        m_dueDate = date(due);
        m_table.setDate(QStringLiteral("BlqDatVen"), m_dueDate);
    }
    if (!m_block.columnsAre(174, 179, kNoDate))
        m_table.setDate(QStringLiteral("BlqDstDatLim"), date(m_block.columns(174, 179)));
    const QString esp = especie(m_block.columns(148, 149));
    if (!esp.isNull())
        m_table.setText(QStringLiteral("BlqEspDoc"), esp);
}

void BankFileImporter::storeTitleValue(QString& reasons)
{
    const char currency = m_block.at(394);
    const QString name = moeda(currency);
    if (name.isNull())
        return; // an unknown currency leaves currency, quantity and value null
    const QByteArrayView value = m_block.columns(127, 139);
    if (currency == '1') {
        // The one guarded conversion: a bad value in reais rejects the title.
        qint64 cents = 0;
        try {
            if (value == QByteArrayView("9999999999999")) {
                m_table.setFloat(QStringLiteral("BlqTitVal"), 0.0);
            } else if (value == QByteArrayView("0000000000000")) {
                addReason(reasons, QStringLiteral("VALOR DO TÍTULO ZERADO"));
            } else {
                const double v = amount(value);
                m_table.setFloat(QStringLiteral("BlqTitVal"), v);
                cents = Regional::toCents(v);
            }
        } catch (const KvError&) {
            addReason(reasons, QStringLiteral("VALOR DO TÍTULO INVÁLIDO"));
        }
        if (cents > kValueCeilingCents)
            addReason(reasons,
                      QStringLiteral("VALOR DO TÍTULO EXCEDE AO LIMITE DE CASA INTEIRAS"));
        m_table.setText(QStringLiteral("BlqCodMoe"), name);
        m_table.setInteger(QStringLiteral("BlqQtdMoe"), wholeNumber(m_block.columns(98, 107)));
        return;
    }
    m_table.setText(QStringLiteral("BlqCodMoe"), name);
    m_table.setInteger(QStringLiteral("BlqQtdMoe"), wholeNumber(m_block.columns(98, 107)));
    m_table.setFloat(QStringLiteral("BlqTitVal"), amount(value));
}

void BankFileImporter::storeAmountsAndTexts()
{
    m_table.setFloat(QStringLiteral("BlqAbtAtrVal"), amount(m_block.columns(206, 218)));
    m_table.setFloat(QStringLiteral("BlqDstVal"), amount(m_block.columns(180, 192)));
    m_table.setFloat(QStringLiteral("BlqJurDiaVal"), amount(m_block.columns(161, 173)));
    m_table.setText(QStringLiteral("BlqCpfCgcCed"), m_block.text(83, 97));
    m_table.setText(QStringLiteral("BlqCpfCgcSac"), m_block.text(221, 234));
    m_table.setText(QStringLiteral("BlqSacNom"), m_block.text(235, 274));
    m_table.setText(QStringLiteral("BlqSacEnd"), m_block.text(275, 314));
    m_table.setText(QStringLiteral("BlqSacBai"), m_block.text(315, 326));
    m_table.setText(QStringLiteral("BlqSacCEP"), m_block.text(327, 334));
    m_table.setText(QStringLiteral("BlqSacCid"), m_block.text(335, 349));
    m_table.setText(QStringLiteral("BlqSacEtd"), m_block.text(350, 351));
    m_table.setText(QStringLiteral("BlqSacAvl"), m_block.text(352, 381));
}

void BankFileImporter::checkTitle(QString& reasons)
{
    char digits[14];
    std::copy_n(m_block.data() + 62, 4, digits); // agência, 63-66
    std::copy_n(m_block.data() + 66, 10, digits + 4); // nosso número, 67-76
    if (CalculaDigito(QByteArrayView(digits, 14)) != m_block.at(77))
        addReason(reasons, QStringLiteral("NOS. NÚMERO INVÁLIDO"));
    if (m_block.columnsAre(67, 77, QByteArrayView("00000000000")))
        addReason(reasons, QStringLiteral("NOS. NÚMERO ZERADO"));
    std::copy_n(m_block.data() + 28, 8, digits + 4); // contract, 29-36
    if (CalculaDigito(QByteArrayView(digits, 12)) != m_block.at(37))
        addReason(reasons, QStringLiteral("AG./CONTR. INVÁLIDO"));
    if (m_dueDate.isValid() && m_dueDate < kFirstDueDate)
        addReason(reasons, QStringLiteral("VENCIMENTO INVÁLIDO"));
    // The header's carteira must be a number even when the title's own is the bad one.
    if (wholeNumber(m_carteira) == 5 || m_block.at(108) == '5')
        addReason(reasons, QStringLiteral("CARTEIRA INVALIDA"));
}
