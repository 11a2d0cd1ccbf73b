#include "BankFileImporter.h"

#include "BankConversions.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbError.h"
#include "DbTable.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "Regional.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

using namespace BankConversions;

namespace {
// Markers of the date columns.
constexpr QByteArrayView kNoDate("000000");
constexpr QByteArrayView kOnPresentation("888888");
constexpr QByteArrayView kOnSight("999999");

// The earliest due date a title may carry.
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
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) // read in chunks of our own
        throw KvError(openFailure(file));
    importFrom(file);
}

bool BankFileImporter::startsLikeBankFile(const QString& path)
{
    // A pipe or a device cannot be looked into without taking the bytes from the import.
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the import itself says why the file cannot be read
    char first = 0;
    const qint64 got = file.read(&first, 1);
    // An empty file is a bank file with no titles: it empties the table, as it always did.
    return got <= 0 || first == '0';
}

QString BankFileImporter::notBankFileQuestion()
{
    return QStringLiteral(
        "O arquivo escolhido não parece um arquivo de cobrança. Carregar assim mesmo?");
}

QString BankFileImporter::undoneMessage(const QString& cause)
{
    return cause + QStringLiteral(": a carga foi desfeita e os títulos anteriores foram mantidos.");
}

void BankFileImporter::importFrom(QIODevice& device)
{
    m_blocks = 0;
    m_completed = false;
    m_readFailed = false;
    m_chunk.resize(64 * 1024);
    m_chunkPos = m_chunkLength = 0;
    m_carteira.clear();
    m_carteiraText.clear();
    m_cedente.clear();

    // Held to the end: a second import, here or in another program, is refused at once and
    // changes nothing.
    const ImportGuard guard(m_table.alias());
    prepareTable();
    // Emptied and refilled in one transaction: whatever stops the import before its end,
    // the process included, leaves either the titles of before or those of this file.
    m_table.beginBatch();
    try {
        m_table.emptyTable();
        readBlocks(device);
        if (m_table.hasPending())
            m_table.post();
        m_table.commitBatch();
    } catch (const DbError& e) {
        m_table.cancel();
        m_table.rollbackBatch();
        throw DbError(e.cause(), undoneMessage(undoneCause(e)));
    } catch (const KvConversionError& e) {
        keepRowsBeforeBadRecord();
        throw KvConversionError(inBlock(e.message()));
    } catch (const KvError& e) {
        if (m_readFailed) {
            // The bank file could not be read to its end (a medium gone, a share lost): it
            // is not the file's data at fault, and the titles of before are kept.
            m_table.cancel();
            m_table.rollbackBatch();
            throw KvError(undoneMessage(e.message()));
        }
        keepRowsBeforeBadRecord();
        throw KvError(inBlock(e.message()));
    } catch (...) {
        m_table.cancel();
        m_table.rollbackBatch();
        throw;
    }
    m_completed = true;
}

QString BankFileImporter::undoneCause(const DbError& e)
{
    switch (e.cause()) {
    case DbError::Cause::Full:
        return QStringLiteral("Disco cheio");
    case DbError::Cause::Busy:
        return QStringLiteral("O banco de dados foi bloqueado por outro programa");
    case DbError::Cause::Other:
        break;
    }
    return QStringLiteral("Erro do banco de dados (%1)").arg(e.message());
}

void BankFileImporter::keepRowsBeforeBadRecord()
{
    // A bad record stops the import; the rows stored before it stay, and the title under
    // construction is dropped. Should the database fail to keep them, nothing changes.
    m_table.cancel();
    try {
        m_table.commitBatch();
    } catch (const DbError& commitFailure) {
        m_table.rollbackBatch();
        throw DbError(commitFailure.cause(), undoneMessage(undoneCause(commitFailure)));
    }
}

QString BankFileImporter::inBlock(const QString& message) const
{
    return QStringLiteral("Bloco %1: %2").arg(m_blocks).arg(message);
}

void BankFileImporter::prepareTable()
{
    // The late-fee columns are added here too, for a table that never met the program's
    // start-up; a table of somebody else's is left alone by the upgrade.
    if (m_table.alias().compare(QLatin1StringView(Database::kDefaultAlias), Qt::CaseInsensitive) ==
            0 &&
        m_table.tableName().compare(QStringLiteral("Blq"), Qt::CaseInsensitive) == 0) {
        m_table.close();
        BlqUpgrade::upgradeIfNeeded();
    }
    m_table.open();
    // Every column the import writes, before anything is emptied: a table that lacks one
    // would lose its titles to an import that then stops at the first row needing it.
    QStringList missing;
    const QStringList names = m_table.fieldNames();
    for (const BlqSchema::Column& c : BlqSchema::columns()) {
        if (c.kind == BlqSchema::Kind::AutoInc)
            continue;
        const QString name = QLatin1StringView(c.name);
        if (!names.contains(name, Qt::CaseInsensitive))
            missing << name;
    }
    if (!missing.isEmpty())
        throw KvError(QStringLiteral("A tabela %1 não tem %2 %3; a carga não foi feita e os "
                                     "títulos foram mantidos.")
                          .arg(m_table.tableName(),
                               missing.size() == 1 ? QStringLiteral("a coluna")
                                                   : QStringLiteral("as colunas"),
                               missing.join(QStringLiteral(", "))));
    resolveFields();
}

void BankFileImporter::resolveFields()
{
    auto at = [this](const char* name) { return m_table.fieldIndex(QLatin1StringView(name)); };
    m_f.NomCed = at("BlqNomCed");
    m_f.TipCar = at("BlqTipCar");
    m_f.AgeCod = at("BlqAgeCod");
    m_f.CtrCod = at("BlqCtrCod");
    m_f.NosNum = at("BlqNosNum");
    m_f.SeuNum = at("BlqSeuNum");
    m_f.DatEmi = at("BlqDatEmi");
    m_f.DatVen = at("BlqDatVen");
    m_f.DstDatLim = at("BlqDstDatLim");
    m_f.EspDoc = at("BlqEspDoc");
    m_f.CodMoe = at("BlqCodMoe");
    m_f.QtdMoe = at("BlqQtdMoe");
    m_f.TitVal = at("BlqTitVal");
    m_f.AbtAtrVal = at("BlqAbtAtrVal");
    m_f.DstVal = at("BlqDstVal");
    m_f.JurDiaVal = at("BlqJurDiaVal");
    m_f.CpfCgcCed = at("BlqCpfCgcCed");
    m_f.CpfCgcSac = at("BlqCpfCgcSac");
    m_f.SacNom = at("BlqSacNom");
    m_f.SacEnd = at("BlqSacEnd");
    m_f.SacBai = at("BlqSacBai");
    m_f.SacCEP = at("BlqSacCEP");
    m_f.SacCid = at("BlqSacCid");
    m_f.SacEtd = at("BlqSacEtd");
    m_f.SacAvl = at("BlqSacAvl");
    m_f.Msg = at("BlqMsg");
    m_f.Ins = at("BlqIns");
    m_f.RegVal = at("BlqRegVal");
    m_f.MsgErr = at("BlqMsgErr");
    m_f.IdcAvi = at("BlqIdcAvi");
    m_f.IdcCAp = at("BlqIdcCAp");
    m_f.ValMul = at("BlqValMul");
    m_f.DatMul = at("BlqDatMul");
}

qint64 BankFileImporter::readBlock(QIODevice& device)
{
    qint64 got = 0;
    while (got < BankBlock::kSize) {
        if (m_chunkPos == m_chunkLength) {
            m_chunkPos = 0;
            m_chunkLength = device.read(m_chunk.data(), qint64(m_chunk.size()));
            if (m_chunkLength < 0) {
                m_chunkLength = 0;
                m_readFailed = true;
                throw KvError(
                    QStringLiteral("Erro de leitura no arquivo: %1").arg(device.errorString()));
            }
            if (m_chunkLength == 0)
                break;
        }
        const qint64 n = std::min(BankBlock::kSize - got, m_chunkLength - m_chunkPos);
        std::memcpy(m_block.data() + got, m_chunk.data() + m_chunkPos, size_t(n));
        got += n;
        m_chunkPos += n;
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
            m_table.setMemo(m_f.Msg, m_block.text(2, 391));
            break;
        case '3':
            m_table.setMemo(m_f.Ins, m_block.text(2, 391));
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
    m_table.setText(m_f.NomCed, m_cedente);
    m_table.setText(m_f.TipCar, m_carteiraText);
    m_table.setText(m_f.AgeCod, m_block.text(63, 66));
    m_table.setText(m_f.CtrCod, m_block.text(29, 37));
    m_table.setText(m_f.NosNum, m_block.text(67, 77));
    m_table.setText(m_f.SeuNum, m_block.text(111, 120));
    storeDates();
    QString reasons(QStringLiteral("")); // an empty reason text is stored empty, not null
    storeTitleValue(reasons);
    storeAmountsAndTexts();
    checkTitle(reasons);
    m_table.setBool(m_f.RegVal, reasons.isEmpty());
    m_table.setText(m_f.MsgErr, reasons);
}

void BankFileImporter::storeLateFee()
{
    const char code = m_block.at(4);
    double fee = 0;
    if (code == '1') {
        fee = amount(m_block.columns(5, 17));
    } else if (code == '2') {
        // A percentage of the title value, whatever the currency: the value must be a number.
        const double percent = amount(m_block.columns(5, 17));
        fee = percent / 100.0 * amount(m_block.columns(127, 139));
    }
    if (code == '1' || code == '2')
        m_table.setFloat(m_f.ValMul, fee);
    if (!m_block.columnsAre(18, 23, kNoDate))
        m_table.setDate(m_f.DatMul, date(m_block.columns(18, 23)));
}

void BankFileImporter::storeDates()
{
    if (!m_block.columnsAre(151, 156, kNoDate))
        m_table.setDate(m_f.DatEmi, date(m_block.columns(151, 156)));
    m_dueDate = QDate();
    const QByteArrayView due = m_block.columns(121, 126);
    if (due == kOnPresentation) {
        m_table.setBool(m_f.IdcAvi, false);
        m_table.setBool(m_f.IdcCAp, true);
    } else if (due == kOnSight) {
        m_table.setBool(m_f.IdcAvi, true);
        m_table.setBool(m_f.IdcCAp, false);
    } else if (due != kNoDate) {
        m_dueDate = date(due);
        m_table.setDate(m_f.DatVen, m_dueDate);
    }
    if (!m_block.columnsAre(174, 179, kNoDate))
        m_table.setDate(m_f.DstDatLim, date(m_block.columns(174, 179)));
    const QString esp = especie(m_block.columns(148, 149));
    if (!esp.isNull())
        m_table.setText(m_f.EspDoc, esp);
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
                m_table.setFloat(m_f.TitVal, 0.0);
            } else if (value == QByteArrayView("0000000000000")) {
                addReason(reasons, QStringLiteral("VALOR DO TÍTULO ZERADO"));
            } else {
                const double v = amount(value);
                m_table.setFloat(m_f.TitVal, v);
                cents = Regional::toCents(v);
            }
        } catch (const KvError&) {
            addReason(reasons, QStringLiteral("VALOR DO TÍTULO INVÁLIDO"));
        }
        if (cents > kValueCeilingCents)
            addReason(reasons, QStringLiteral("VALOR DO TÍTULO EXCEDE AO LIMITE DE CASA INTEIRAS"));
        m_table.setText(m_f.CodMoe, name);
        m_table.setInteger(m_f.QtdMoe, wholeNumber(m_block.columns(98, 107)));
        return;
    }
    m_table.setText(m_f.CodMoe, name);
    m_table.setInteger(m_f.QtdMoe, wholeNumber(m_block.columns(98, 107)));
    m_table.setFloat(m_f.TitVal, amount(value));
}

void BankFileImporter::storeAmountsAndTexts()
{
    m_table.setFloat(m_f.AbtAtrVal, amount(m_block.columns(206, 218)));
    m_table.setFloat(m_f.DstVal, amount(m_block.columns(180, 192)));
    m_table.setFloat(m_f.JurDiaVal, amount(m_block.columns(161, 173)));
    m_table.setText(m_f.CpfCgcCed, m_block.text(83, 97));
    m_table.setText(m_f.CpfCgcSac, m_block.text(221, 234));
    m_table.setText(m_f.SacNom, m_block.text(235, 274));
    m_table.setText(m_f.SacEnd, m_block.text(275, 314));
    m_table.setText(m_f.SacBai, m_block.text(315, 326));
    m_table.setText(m_f.SacCEP, m_block.text(327, 334));
    m_table.setText(m_f.SacCid, m_block.text(335, 349));
    m_table.setText(m_f.SacEtd, m_block.text(350, 351));
    m_table.setText(m_f.SacAvl, m_block.text(352, 381));
}

void BankFileImporter::checkTitle(QString& reasons)
{
    char digits[14];
    std::copy_n(m_block.data() + 62, 4, digits);      // agência, 63-66
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
