// N boletos into one PDF through the open-source generator gerar-boletos (PDFKit), for
// comparing with kvcob-lote folha-solta:  node gerar_boletos.js N SAIDA.pdf
// The titles vary as those of kvcob-gera-exemplo --realista do: three beneficiaries, payers
// with accents, messages and instructions on each, values and numbers that change from
// title to title (its dates must fall before 2024). It draws no logos of the beneficiary:
// the generator has none to draw (only the bank's).
'use strict';
const path = require('path');
const fs = require('fs');
const lib = path.join(__dirname, 'node', 'node_modules', 'gerar-boletos', 'lib');
const { Bancos, Boletos } = require(path.join(lib, 'index'));
const Boleto = require(path.join(lib, 'utils', 'functions', 'boletoUtils'));

const payers = [
  ['JOSÉ DA CONCEIÇÃO', 'RUA DAS ACÁCIAS, 123', 'JD AMÉRICA', 'CAMPINAS', 'SP', '13015-904'],
  ['MARIA APARECIDA GONÇALVES', 'AV. BRASIL, 2045 AP 31', 'CENTRO', 'CURITIBA', 'PR', '80010-000'],
  ['JOÃO BATISTA DE ASSUNÇÃO', 'TRAVESSA DO OUVIDOR, 7', 'LAPA', 'RIO DE JANEIRO', 'RJ', '20040-030'],
  ['ANA LÚCIA FERNANDES', 'RUA PIAUÍ, 88', 'SAVASSI', 'BELO HORIZONTE', 'MG', '30150-320'],
  ['ANTÔNIO CARLOS MONTEIRO', 'RUA GENERAL OSÓRIO, 510', 'VILA TIBÉRIO', 'RIBEIRÃO PRETO', 'SP', '14050-100'],
  ['FRANCISCA DAS CHAGAS LIMA', 'RUA SÃO BENTO, 1200', 'CENTRO', 'SÃO PAULO', 'SP', '01011-100'],
  ['PAULO SÉRGIO RIBEIRO', 'RODOVIA SC-401, KM 4', 'SACO GRANDE', 'FLORIANÓPOLIS', 'SC', '88032-005'],
  ['LUÍZA HELENA PRADO', 'RUA MARECHAL DEODORO, 45', 'CENTRO', 'PORTO ALEGRE', 'RS', '90010-300'],
  ['SEBASTIÃO ALVES CORRÊA', 'AV. ANHANGÜERA, 3300', 'SETOR OESTE', 'GOIÂNIA', 'GO', '74110-010'],
  ['CLÁUDIA REGINA TAVARES', 'RUA DA AURORA, 220', 'BOA VISTA', 'RECIFE', 'PE', '50050-000'],
  ['MÁRCIO VINÍCIUS ARRUDA', 'AV. SETE DE SETEMBRO, 90', 'VITÓRIA', 'SALVADOR', 'BA', '40080-001'],
  ['PADARIA PÃO DOURADO LTDA', 'RUA XV DE NOVEMBRO, 1500', 'CENTRO', 'BLUMENAU', 'SC', '89010-001'],
  ['MERCEARIA BOA ESPERANÇA ME', 'RUA CEARÁ, 312', 'FÁTIMA', 'FORTALEZA', 'CE', '60040-230'],
  ['TERESA CRISTINA BRANDÃO', 'RUA DOM PEDRO II, 77', 'CENTRO', 'JUIZ DE FORA', 'MG', '36010-010'],
  ['ÍRIS MAGALHÃES DE SÁ', 'AV. BEIRA-MAR, 4100', 'MEIRELES', 'FORTALEZA', 'CE', '60165-121'],
];

// The three beneficiaries of kvcob-gera-exemplo --realista, in its shares of the titles
// (half, three tenths, a fifth), each with its message and instruction.
const beneficiaries = [
  ['CONFECÇÕES ARAÚJO LTDA', '12345678000195', '0341', 'PEDIDO DE CONFECÇÕES. OBRIGADO PELA PREFERÊNCIA!',
    'APÓS O VENCIMENTO COBRAR MULTA CONFORME INDICADO. NÃO RECEBER APÓS 60 DIAS.'],
  ['ESCOLA SÃO JOÃO DO IPÊ', '98765432000198', '1507', 'MENSALIDADE ESCOLAR. DÚVIDAS: SECRETARIA, DE SEGUNDA A SEXTA.',
    'CONCEDER DESCONTO ATÉ A DATA INDICADA. APÓS O VENCIMENTO COBRAR JUROS DE MORA.'],
  ['CONDOMÍNIO EDIFÍCIO JACARANDÁ', '45678912000155', '2210', 'TAXA CONDOMINIAL. ASSEMBLÉIA GERAL ORDINÁRIA EM 15/03/2027.',
    'SR. CAIXA: NÃO DISPENSAR JUROS E MULTA. PROTESTAR APÓS 30 DIAS DO VENCIMENTO.'],
];

function title(i, count) {
  const p = payers[(i * 7 + Math.floor(i / 8)) % payers.length];
  const ben = beneficiaries[i < count * 0.5 ? 0 : i < count * 0.8 ? 1 : 2];
  const due = new Date(Date.UTC(2022, 11, 15 + (i % 300)));
  // The generator reads its dates as month-day-year.
  const dd = (d) => String(d.getUTCMonth() + 1).padStart(2, '0') + '-' +
    String(d.getUTCDate()).padStart(2, '0') + '-' + d.getUTCFullYear();
  const b = new Boletos({
    banco: new Bancos.Bradesco(),
    pagador: {
      nome: p[0], RegistroNacional: String(27182818200 + i * 7919).slice(0, 11),
      endereco: { logradouro: p[1], bairro: p[2], cidade: p[3], estadoUF: p[4], cep: p[5] },
    },
    instrucoes: [ben[3], ben[4]],
    beneficiario: {
      nome: ben[0], cnpj: ben[1],
      dadosBancarios: {
        carteira: '09', agencia: ben[2], agenciaDigito: '5', conta: '0123456', contaDigito: '0',
        nossoNumero: String(i + 1).padStart(11, '0'), nossoNumeroDigito: '8',
      },
      endereco: { logradouro: 'RUA XV DE NOVEMBRO, 1500', bairro: 'CENTRO', cidade: 'BLUMENAU',
        estadoUF: 'SC', cep: '89010-001' },
    },
    boleto: {
      numeroDocumento: String(4100 + i), especieDocumento: 'DM',
      valor: (8990 + i * 4127 + (i % 4) * 150000) / 100,
      datas: { vencimento: dd(due), processamento: '11-02-2022', documentos: '11-02-2022' },
    },
  });
  b.gerarBoleto();
  return b.boletoInfo;
}

const count = Number(process.argv[2]);
const out = process.argv[3];
if (!(count > 0) || !out) {
  console.error('uso: node gerar_boletos.js N SAIDA.pdf');
  process.exit(2);
}
const titles = [];
for (let i = 0; i < count; ++i) titles.push(title(i, count));
// Node ends by itself once the file is written and closed.
const stream = fs.createWriteStream(out);
new Boleto.Gerador(titles).gerarPDF({ creditos: '', stream }).catch((e) => {
  console.error(e);
  process.exit(1);
});
