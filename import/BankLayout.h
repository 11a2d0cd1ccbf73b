#pragma once

// The bank file's layout in one table: every field the program reads or writes, with its
// columns numbered from 1, first to last inclusive, as the bank's layout numbers them.
// The import and the test files' writer both take their columns from here.
namespace BankLayout {
struct Field {
    int first;
    int last;
    constexpr int width() const { return last - first + 1; }
};

// Every record; the type is '0' header, '1' title, '2' message, '3' instruction, '4' PIX
// payload (when marked so), '9' trailer.
inline constexpr Field kType{1, 1}, kSequence{395, 400};

// Header record
inline constexpr Field kHeaderRemessa{2, 9}, kHeaderCarteira{10, 11}, kHeaderServico{12, 26};
inline constexpr Field kHeaderCedente{47, 76}, kHeaderBanco{77, 94};

// Title record
inline constexpr Field kInscricao{2, 3};
// the late fee
inline constexpr Field kMultaCodigo{4, 4}; // '1' an amount, '2' a percentage of the value
inline constexpr Field kMulta{5, 17}, kMultaData{18, 23};
// contract, agency and nosso número, each with and without its check digit
inline constexpr Field kContrato{29, 36}, kContratoDigito{37, 37}, kContratoComDigito{29, 37};
inline constexpr Field kAgencia{63, 66};
inline constexpr Field kNossoNumero{67, 76}, kNossoNumeroDigito{77, 77};
inline constexpr Field kNossoNumeroComDigito{67, 77};
// the beneficiary and the title
inline constexpr Field kCpfCnpjCedente{83, 97}, kQuantidade{98, 107}, kCarteira{108, 108};
inline constexpr Field kSeuNumero{111, 120}, kVencimento{121, 126}, kValor{127, 139};
inline constexpr Field kEspecie{148, 149}, kAceite{150, 150}, kEmissao{151, 156};
inline constexpr Field kJurosDia{161, 173}, kDescontoAte{174, 179}, kDesconto{180, 192};
inline constexpr Field kAbatimento{206, 218};
// the payer
inline constexpr Field kCpfCnpjSacado{221, 234}, kSacado{235, 274}, kEndereco{275, 314};
inline constexpr Field kBairro{315, 326}, kCep{327, 334}, kCidade{335, 349}, kEstado{350, 351};
inline constexpr Field kAvalista{352, 381}, kMoeda{394, 394};

// Message and instruction records
inline constexpr Field kTexto{2, 391};

// PIX record: a type '4' block is one only with "PIX" in its marker columns; the payload
// ("copia e cola") fills the rest, blanks after it.
inline constexpr Field kPixMarca{2, 4}, kPixPayload{5, 391};
} // namespace BankLayout
