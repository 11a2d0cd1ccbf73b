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
inline constexpr Field kType{1, 1};
inline constexpr Field kSequence{395, 400};

// Header record
inline constexpr Field kHeaderRemessa{2, 9};
inline constexpr Field kHeaderCarteira{10, 11};
inline constexpr Field kHeaderServico{12, 26};
inline constexpr Field kHeaderCedente{47, 76};
inline constexpr Field kHeaderBanco{77, 94};

// Title record
inline constexpr Field kInscricao{2, 3};
inline constexpr Field kMultaCodigo{4, 4}; // '1' an amount, '2' a percentage of the value
inline constexpr Field kMulta{5, 17};
inline constexpr Field kMultaData{18, 23};
inline constexpr Field kContrato{29, 36};
inline constexpr Field kContratoDigito{37, 37};
inline constexpr Field kContratoComDigito{29, 37};
inline constexpr Field kAgencia{63, 66};
inline constexpr Field kNossoNumero{67, 76};
inline constexpr Field kNossoNumeroDigito{77, 77};
inline constexpr Field kNossoNumeroComDigito{67, 77};
inline constexpr Field kCpfCnpjCedente{83, 97};
inline constexpr Field kQuantidade{98, 107};
inline constexpr Field kCarteira{108, 108};
inline constexpr Field kSeuNumero{111, 120};
inline constexpr Field kVencimento{121, 126};
inline constexpr Field kValor{127, 139};
inline constexpr Field kEspecie{148, 149};
inline constexpr Field kAceite{150, 150};
inline constexpr Field kEmissao{151, 156};
inline constexpr Field kJurosDia{161, 173};
inline constexpr Field kDescontoAte{174, 179};
inline constexpr Field kDesconto{180, 192};
inline constexpr Field kAbatimento{206, 218};
inline constexpr Field kCpfCnpjSacado{221, 234};
inline constexpr Field kSacado{235, 274};
inline constexpr Field kEndereco{275, 314};
inline constexpr Field kBairro{315, 326};
inline constexpr Field kCep{327, 334};
inline constexpr Field kCidade{335, 349};
inline constexpr Field kEstado{350, 351};
inline constexpr Field kAvalista{352, 381};
inline constexpr Field kMoeda{394, 394};

// Message and instruction records
inline constexpr Field kTexto{2, 391};

// PIX record: a type '4' block is one only with "PIX" in its marker columns; the payload
// ("copia e cola") fills the rest, blanks after it.
inline constexpr Field kPixMarca{2, 4};
inline constexpr Field kPixPayload{5, 391};
} // namespace BankLayout
