#pragma once

// The return file's two layouts in field tables: every field the reader takes and the test
// writer puts, with its columns numbered from 1, first to last inclusive, as the bank's
// layouts number them. Money is digits with two implied decimals; dates are DDMMYY (400)
// or DDMMAAAA (240), zeros for none.
namespace RetLayout {
struct Field {
    int first;
    int last;
    constexpr int width() const { return last - first + 1; }
};

inline constexpr char kBank[] = "842";

// Lines of 400 characters, the record type in column 1.
namespace Cnab400 {
inline constexpr int kLineLength = 400;
inline constexpr Field kType{1, 1};
inline constexpr Field kSequence{395, 400};

// Header '0'
inline constexpr Field kOperation{2, 2}; // '2' return ('1' is the remittance)
inline constexpr Field kLiteral{3, 9};   // "RETORNO"
inline constexpr Field kService{10, 11}; // "01"
inline constexpr Field kServiceName{12, 26};
inline constexpr Field kHeaderAgency{27, 30};
inline constexpr Field kHeaderContract{31, 39};
inline constexpr Field kBeneficiary{47, 76};
inline constexpr Field kBankCode{77, 79};
inline constexpr Field kFileDate{95, 100};

// Detail '1'
inline constexpr Field kPayerKind{2, 3};
inline constexpr Field kAgency{18, 21};
inline constexpr Field kContract{22, 30};
inline constexpr Field kCompanyUse{38, 62};
inline constexpr Field kOurNumber{63, 73};
inline constexpr Field kPortfolio{108, 108};
inline constexpr Field kOccurrence{109, 110};
inline constexpr Field kOccurrenceDate{111, 116};
inline constexpr Field kYourNumber{117, 126};
inline constexpr Field kDueDate{147, 152};
inline constexpr Field kTitleValue{153, 165};
inline constexpr Field kCollectingBank{166, 168};
inline constexpr Field kCollectingAgency{169, 173};
inline constexpr Field kFee{176, 188};
inline constexpr Field kRebate{228, 240};
inline constexpr Field kDiscount{241, 253};
inline constexpr Field kPaid{254, 266};
inline constexpr Field kCharges{267, 279};
inline constexpr Field kOtherCredits{280, 292};
inline constexpr Field kCreditDate{296, 301};
inline constexpr Field kReasons{319, 328};

// Trailer '9'
inline constexpr Field kTrailerOperation{2, 2};
inline constexpr Field kTrailerCount{18, 25};
inline constexpr Field kTrailerSum{26, 39};
} // namespace Cnab400

// Lines of 240 characters, the bank in columns 1-3 and the record type in column 8.
namespace Cnab240 {
inline constexpr int kLineLength = 240;
inline constexpr Field kBankCode{1, 3};
inline constexpr Field kBatch{4, 7};
inline constexpr Field kType{8, 8}; // '0' file header, '1' batch header, '3' detail,
                                    // '5' batch trailer, '9' file trailer
// File header '0'
inline constexpr Field kOperation{143, 143}; // '2' return ('1' is the remittance)
inline constexpr Field kFileDate{144, 151};
inline constexpr Field kBeneficiary{73, 102};

// Batch trailer '5' and file trailer '9'
inline constexpr Field kBatchLines{18, 23};
inline constexpr Field kFileBatches{18, 23};
inline constexpr Field kFileLines{24, 29};

// Detail '3'
inline constexpr Field kSegment{14, 14};
inline constexpr Field kOccurrence{16, 17};

// Segment T
inline constexpr Field kAgency{18, 22};
inline constexpr Field kContract{24, 35};
inline constexpr Field kContractDigit{36, 36};
inline constexpr Field kOurNumber{38, 57};
inline constexpr Field kPortfolio{58, 58};
inline constexpr Field kYourNumber{59, 73};
inline constexpr Field kDueDate{74, 81};
inline constexpr Field kTitleValue{82, 96};
inline constexpr Field kCollectingBank{97, 99};
inline constexpr Field kCollectingAgency{100, 104};
inline constexpr Field kPayerKind{133, 133};
inline constexpr Field kPayerId{134, 148};
inline constexpr Field kPayerName{149, 188};
inline constexpr Field kFee{199, 213};
inline constexpr Field kReasons{214, 223};

// Segment U
inline constexpr Field kCharges{18, 32};
inline constexpr Field kDiscount{33, 47};
inline constexpr Field kRebate{48, 62};
inline constexpr Field kPaid{78, 92};
inline constexpr Field kOccurrenceDate{138, 145};
inline constexpr Field kCreditDate{146, 153};
} // namespace Cnab240
} // namespace RetLayout
