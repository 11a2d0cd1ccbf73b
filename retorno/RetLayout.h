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

// Both layouts give the same things of a title and of what was paid for it, each in its own
// columns.
struct TitleFields {
    Field ourNumber, portfolio, yourNumber, dueDate, titleValue, collectingBank, collectingAgency,
        fee, reasons;
};
struct PaymentFields {
    Field charges, discount, rebate, paid, occurrenceDate, creditDate;
};

// Lines of 400 characters, the record type in column 1.
namespace Cnab400 {
inline constexpr int kLineLength = 400;
inline constexpr Field kType{1, 1}, kSequence{395, 400};

// Header '0'
inline constexpr Field kOperation{2, 2}; // '2' return ('1' is the remittance)
inline constexpr Field kLiteral{3, 9};   // "RETORNO"
inline constexpr Field kService{10, 11}; // "01"
inline constexpr Field kServiceName{12, 26}, kHeaderAgency{27, 30}, kHeaderContract{31, 39};
inline constexpr Field kBeneficiary{47, 76}, kBankCode{77, 79}, kFileDate{95, 100};

// Detail '1'
// the title's keys
inline constexpr Field kPayerKind{2, 3}, kAgency{18, 21}, kContract{22, 30};
inline constexpr Field kCompanyUse{38, 62}, kOurNumber{63, 73}, kYourNumber{117, 126};
// what happened, when, and to which title
inline constexpr Field kPortfolio{108, 108}, kOccurrence{109, 110}, kOccurrenceDate{111, 116};
inline constexpr Field kDueDate{147, 152}, kTitleValue{153, 165};
inline constexpr Field kCollectingBank{166, 168}, kCollectingAgency{169, 173};
// the amounts, the credit and the reasons of a refusal
inline constexpr Field kFee{176, 188}, kRebate{228, 240}, kDiscount{241, 253}, kPaid{254, 266};
inline constexpr Field kCharges{267, 279}, kOtherCredits{280, 292}, kCreditDate{296, 301};
inline constexpr Field kReasons{319, 328};
inline constexpr TitleFields kTitle{kOurNumber,        kPortfolio,  kYourNumber,
                                    kDueDate,          kTitleValue, kCollectingBank,
                                    kCollectingAgency, kFee,        kReasons};
inline constexpr PaymentFields kPayment{kCharges, kDiscount,       kRebate,
                                        kPaid,    kOccurrenceDate, kCreditDate};

// Trailer '9'
inline constexpr Field kTrailerOperation{2, 2}, kTrailerCount{18, 25}, kTrailerSum{26, 39};
} // namespace Cnab400

// Lines of 240 characters, the bank in columns 1-3 and the record type in column 8.
namespace Cnab240 {
inline constexpr int kLineLength = 240;
inline constexpr Field kBankCode{1, 3}, kBatch{4, 7};
inline constexpr Field kType{8, 8}; // '0' file header, '1' batch header, '3' detail,
                                    // '5' batch trailer, '9' file trailer
// File header '0'
inline constexpr Field kOperation{143, 143}; // '2' return ('1' is the remittance)
inline constexpr Field kFileDate{144, 151}, kBeneficiary{73, 102};

// Batch trailer '5' and file trailer '9'
inline constexpr Field kBatchLines{18, 23}, kFileBatches{18, 23}, kFileLines{24, 29};

// Detail '3'
inline constexpr Field kSegment{14, 14}, kOccurrence{16, 17};

// Segment T: the title's keys, the title, its payer, the fee and the reasons of a refusal
inline constexpr Field kAgency{18, 22}, kContract{24, 35}, kContractDigit{36, 36};
inline constexpr Field kOurNumber{38, 57}, kPortfolio{58, 58}, kYourNumber{59, 73};
inline constexpr Field kDueDate{74, 81}, kTitleValue{82, 96};
inline constexpr Field kCollectingBank{97, 99}, kCollectingAgency{100, 104};
inline constexpr Field kPayerKind{133, 133}, kPayerId{134, 148}, kPayerName{149, 188};
inline constexpr Field kFee{199, 213}, kReasons{214, 223};

// Segment U
inline constexpr Field kCharges{18, 32}, kDiscount{33, 47}, kRebate{48, 62}, kPaid{78, 92};
inline constexpr Field kOccurrenceDate{138, 145}, kCreditDate{146, 153};

inline constexpr TitleFields kTitle{kOurNumber,        kPortfolio,  kYourNumber,
                                    kDueDate,          kTitleValue, kCollectingBank,
                                    kCollectingAgency, kFee,        kReasons};
inline constexpr PaymentFields kPayment{kCharges, kDiscount,       kRebate,
                                        kPaid,    kOccurrenceDate, kCreditDate};
} // namespace Cnab240
} // namespace RetLayout
