#include "BankFileImporter.h"

#include "BankConversions.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbError.h"
#include "DbTable.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PixPayload.h"
#include "Regional.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

using namespace BankConversions;
using namespace BankLayout;

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
        // Once for a file of small pages: the import then writes in large pieces.
        Database::enlargePages();
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
    m_row.emplace(m_table);
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
            storeText(&BlqTitle::msg);
            break;
        case '3':
            storeText(&BlqTitle::ins);
            break;
        case '4':
            // Banks use type 4 for blocks of their own: only a marked one is a payload.
            if (m_block.columnsAre(kPixMarca, QByteArrayView("PIX")))
                storePix();
            break;
        default:
            break;
        }
    }
}

void BankFileImporter::takeHeader()
{
    m_carteira = m_block.columns(kHeaderCarteira).toByteArray();
    m_carteiraText = m_block.text(kHeaderCarteira);
    m_cedente = m_block.text(kHeaderCedente);
}

void BankFileImporter::storeText(QString BlqTitle::*member)
{
    // With no title under construction the table refuses the text.
    m_title.*member = m_block.text(kTexto);
    m_row->write(m_title, member);
}

void BankFileImporter::storePix()
{
    // A later payload replaces an earlier one, and with it the verdict on the earlier one.
    QString payload = m_block.text(kPixPayload);
    qsizetype end = payload.size();
    while (end > 0 && payload.at(end - 1) == u' ')
        --end;
    payload.truncate(end);
    QString reasons = m_titleReasons;
    if (!PixPayload::isValid(payload))
        addReason(reasons, QStringLiteral("QR CODE PIX INVÁLIDO"));
    m_title.pixEmv = payload;
    m_title.msgErr = reasons;
    m_title.regVal = reasons.isEmpty();
    // With no title under construction the table refuses the payload.
    m_row->write(m_title, &BlqTitle::pixEmv);
    m_row->write(m_title, &BlqTitle::msgErr);
    m_row->write(m_title, &BlqTitle::regVal);
}

void BankFileImporter::storeDetail()
{
    // Every detail record is a title of its own, even with the key of the one before it;
    // starting it stores the title under construction.
    m_table.append();
    m_title = BlqTitle();
    m_title.nomCed = m_cedente;
    m_title.tipCar = m_carteiraText;
    m_title.ageCod = m_block.text(kAgencia);
    m_title.ctrCod = m_block.text(kContratoComDigito);
    m_title.nosNum = m_block.text(kNossoNumeroComDigito);
    m_title.seuNum = m_block.text(kSeuNumero);
    storeDates();
    QString reasons(QStringLiteral("")); // an empty reason text is stored empty, not null
    storeTitleValue(reasons);
    storeLateFee(); // a percentage is of the value just stored
    storeAmountsAndTexts();
    checkTitle(reasons);
    m_title.regVal = reasons.isEmpty();
    m_title.msgErr = reasons;
    m_titleReasons = reasons;
    m_row->write(m_title);
}

void BankFileImporter::storeLateFee()
{
    // Every column is there (see prepareTable), late-fee ones included.
    const char code = m_block.at(kMultaCodigo);
    if (code == '1') {
        m_title.valMul = amount(m_block.columns(kMulta));
    } else if (code == '2') {
        // A percentage of the title value as stored (the thirteen nines in reais are stored
        // as zero, and so is their fee); whatever the currency, the value must be a number.
        const double percent = amount(m_block.columns(kMulta));
        const double value = amount(m_block.columns(kValor));
        m_title.valMul = percent / 100.0 * m_title.titVal.value_or(value);
    }
    if (!m_block.columnsAre(kMultaData, kNoDate))
        m_title.datMul = date(m_block.columns(kMultaData));
}

void BankFileImporter::storeDates()
{
    if (!m_block.columnsAre(kEmissao, kNoDate))
        m_title.datEmi = date(m_block.columns(kEmissao));
    const QByteArrayView due = m_block.columns(kVencimento);
    if (due == kOnPresentation) {
        m_title.idcAvi = false;
        m_title.idcCAp = true;
    } else if (due == kOnSight) {
        m_title.idcAvi = true;
        m_title.idcCAp = false;
    } else if (due != kNoDate) {
        m_title.datVen = date(due);
    }
    if (!m_block.columnsAre(kDescontoAte, kNoDate))
        m_title.dstDatLim = date(m_block.columns(kDescontoAte));
    m_title.espDoc = especie(m_block.columns(kEspecie));
}

void BankFileImporter::storeTitleValue(QString& reasons)
{
    const char currency = m_block.at(kMoeda);
    const QString name = moeda(currency);
    if (name.isNull())
        return; // an unknown currency leaves currency, quantity and value null
    const QByteArrayView value = m_block.columns(kValor);
    if (currency == '1')
        storeValueInReais(value, reasons);
    m_title.codMoe = name;
    m_title.qtdMoe = wholeNumber(m_block.columns(kQuantidade));
    if (currency != '1')
        m_title.titVal = amount(value);
}

void BankFileImporter::storeValueInReais(QByteArrayView value, QString& reasons)
{
    // The one guarded conversion: a bad value in reais rejects the title.
    qint64 cents = 0;
    try {
        if (value == QByteArrayView("9999999999999")) {
            m_title.titVal = 0.0;
        } else if (value == QByteArrayView("0000000000000")) {
            addReason(reasons, QStringLiteral("VALOR DO TÍTULO ZERADO"));
        } else {
            const double v = amount(value);
            m_title.titVal = v;
            cents = Regional::toCents(v);
        }
    } catch (const KvError&) {
        addReason(reasons, QStringLiteral("VALOR DO TÍTULO INVÁLIDO"));
    }
    if (cents > kValueCeilingCents)
        addReason(reasons, QStringLiteral("VALOR DO TÍTULO EXCEDE AO LIMITE DE CASA INTEIRAS"));
}

void BankFileImporter::storeAmountsAndTexts()
{
    m_title.abtAtrVal = amount(m_block.columns(kAbatimento));
    m_title.dstVal = amount(m_block.columns(kDesconto));
    m_title.jurDiaVal = amount(m_block.columns(kJurosDia));
    m_title.cpfCgcCed = m_block.text(kCpfCnpjCedente);
    m_title.cpfCgcSac = m_block.text(kCpfCnpjSacado);
    m_title.sacNom = m_block.text(kSacado);
    m_title.sacEnd = m_block.text(kEndereco);
    m_title.sacBai = m_block.text(kBairro);
    m_title.sacCep = m_block.text(kCep);
    m_title.sacCid = m_block.text(kCidade);
    m_title.sacEtd = m_block.text(kEstado);
    m_title.sacAvl = m_block.text(kAvalista);
}

void BankFileImporter::checkTitle(QString& reasons)
{
    // The agência followed by the nosso número, then by the contract, each checked
    // against its own digit.
    const QByteArrayView agencia = m_block.columns(kAgencia);
    const QByteArrayView nossoNumero = m_block.columns(kNossoNumero);
    const QByteArrayView contrato = m_block.columns(kContrato);
    char digits[kAgencia.width() + kNossoNumero.width()];
    static_assert(kContrato.width() <= kNossoNumero.width());
    std::copy(agencia.begin(), agencia.end(), digits);
    std::copy(nossoNumero.begin(), nossoNumero.end(), digits + agencia.size());
    if (CalculaDigito(QByteArrayView(digits, agencia.size() + nossoNumero.size())) !=
        m_block.at(kNossoNumeroDigito))
        addReason(reasons, QStringLiteral("NOS. NÚMERO INVÁLIDO"));
    if (m_block.columnsAre(kNossoNumeroComDigito, QByteArrayView("00000000000")))
        addReason(reasons, QStringLiteral("NOS. NÚMERO ZERADO"));
    std::copy(contrato.begin(), contrato.end(), digits + agencia.size());
    if (CalculaDigito(QByteArrayView(digits, agencia.size() + contrato.size())) !=
        m_block.at(kContratoDigito))
        addReason(reasons, QStringLiteral("AG./CONTR. INVÁLIDO"));
    if (m_title.datVen.isValid() && m_title.datVen < kFirstDueDate)
        addReason(reasons, QStringLiteral("VENCIMENTO INVÁLIDO"));
    // The header's carteira must be a number even when the title's own is the bad one.
    if (wholeNumber(m_carteira) == 5 || m_block.at(kCarteira) == '5')
        addReason(reasons, QStringLiteral("CARTEIRA INVALIDA"));
}
