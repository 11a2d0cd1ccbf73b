#include "uEnderecosEmail.h"

#include "AddressBook.h"
#include "Dialogs.h"
#include "KvError.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kChanged = Qt::UserRole + 1;
}

TFrmEnderecosEmail::TFrmEnderecosEmail(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmEnderecosEmail"));
    setWindowTitle(QStringLiteral("Endereços de E-mail"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Procurar:"), this);
    top->addWidget(label);
    edtBusca = new QLineEdit(this);
    label->setBuddy(edtBusca);
    edtBusca->setObjectName(QStringLiteral("edtBusca"));
    edtBusca->setPlaceholderText(QStringLiteral("CPF/CNPJ ou parte do endereço"));
    top->addWidget(edtBusca, 1);
    layout->addLayout(top);
    tblEnderecos = new QTableWidget(0, 2, this);
    tblEnderecos->setObjectName(QStringLiteral("tblEnderecos"));
    tblEnderecos->setHorizontalHeaderLabels(
        {QStringLiteral("CPF/CNPJ"), QStringLiteral("Endereços (separados por ;)")});
    tblEnderecos->horizontalHeader()->setStretchLastSection(true);
    tblEnderecos->verticalHeader()->hide();
    tblEnderecos->setColumnWidth(0, 150);
    layout->addWidget(tblEnderecos, 1);
    auto* buttons = new QHBoxLayout;
    btnIncluir = new QPushButton(QStringLiteral("&Incluir"), this);
    btnIncluir->setObjectName(QStringLiteral("btnIncluir"));
    btnGravar = new QPushButton(QStringLiteral("&Gravar"), this);
    btnGravar->setObjectName(QStringLiteral("btnGravar"));
    buttons->addWidget(btnIncluir);
    buttons->addStretch();
    buttons->addWidget(btnGravar);
    layout->addLayout(buttons);
    connect(edtBusca, &QLineEdit::textChanged, this, &TFrmEnderecosEmail::Buscar);
    connect(btnIncluir, &QPushButton::clicked, this, &TFrmEnderecosEmail::btnIncluirClick);
    connect(btnGravar, &QPushButton::clicked, this, &TFrmEnderecosEmail::btnGravarClick);
    connect(tblEnderecos, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_loading)
            tblEnderecos->item(item->row(), 0)->setData(kChanged, true);
    });
    resize(560, 400);
    Buscar();
}

void TFrmEnderecosEmail::Buscar()
{
    runGuarded([this] {
        const QList<AddressBook::Entry> entries = AddressBook().search(edtBusca->text());
        m_loading = true;
        tblEnderecos->setRowCount(0);
        for (const AddressBook::Entry& e : entries) {
            const int row = tblEnderecos->rowCount();
            tblEnderecos->insertRow(row);
            auto* doc = new QTableWidgetItem(e.document);
            doc->setFlags(doc->flags() & ~Qt::ItemIsEditable); // the row's key
            tblEnderecos->setItem(row, 0, doc);
            tblEnderecos->setItem(row, 1,
                                  new QTableWidgetItem(e.addresses.join(QStringLiteral("; "))));
        }
        m_loading = false;
    });
}

void TFrmEnderecosEmail::btnIncluirClick()
{
    m_loading = true;
    const int row = tblEnderecos->rowCount();
    tblEnderecos->insertRow(row);
    tblEnderecos->setItem(row, 0, new QTableWidgetItem);
    tblEnderecos->setItem(row, 1, new QTableWidgetItem);
    m_loading = false;
    tblEnderecos->setCurrentCell(row, 0);
    tblEnderecos->editItem(tblEnderecos->item(row, 0));
}

void TFrmEnderecosEmail::btnGravarClick()
{
    QStringList refused;
    runGuarded([&] {
        AddressBook book;
        for (int row = 0; row < tblEnderecos->rowCount(); ++row) {
            QTableWidgetItem* doc = tblEnderecos->item(row, 0);
            QTableWidgetItem* list = tblEnderecos->item(row, 1);
            if (!doc || !list || !doc->data(kChanged).toBool())
                continue;
            try {
                const QString text = list->text();
                const QStringList addresses = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
                book.put(doc->text(), addresses);
                doc->setData(kChanged, false);
            } catch (const KvError& e) {
                refused << QStringLiteral("Linha %1: %2").arg(row + 1).arg(e.message());
            }
        }
    });
    if (!refused.isEmpty()) {
        dialogs().error(QStringLiteral("Não gravados:\n") + refused.join(QLatin1Char('\n')));
        return;
    }
    Buscar();
}
