// The sample records and locales that the filter tests evaluate against.
#pragma once

#include <memory>
#include <string>

#include "oracle/core/DateTime.h"
#include "oracle/filter/ColumnExpression.h"
#include "oracle/filter/MemoryRecordHost.h"
#include "oracle/filter/internal/LocaleRules.h"
#include "platform/Locale.h"

namespace oracle::filter_test {

using filter_internal::LocaleRules;
using filter_internal::rulesForLanguage;

inline LocaleRules englishRules() {
  return rulesForLanguage(platform::kLangEnglishUS, '.');
}
inline LocaleRules norwegianRules() {
  return rulesForLanguage(platform::kLangNorwegianBokmal, ',');
}

inline double date(int y, int m, int d, int hh = 0, int mm = 0) {
  return *encodeDateTime({y, m, d, hh, mm, 0, 0});
}

// Four employees:
//   0: 7369 SMITH     800  1980-12-17        FLAG true  COMM null X  5 DEPTNO 20 NOTE "Ære være"
//   1: 7566 JONES    2975  2001-02-20 13:30  FLAG false COMM 300  X -3 DEPTNO 10 NOTE "smith"
//   2: 7900 and every other field null
//   3: 7788 smithers 3000  1987-04-19        FLAG true  COMM 0    X  0 DEPTNO 20 NOTE ""
class SampleHost : public TMemoryRecordHost {
 public:
  SampleHost() {
    AddField("EMPNO", fdInteger);
    AddField("ENAME", fdString);
    AddField("SAL", fdFloat);
    AddField("HIREDATE", fdDateTime);
    AddField("FLAG", fdBoolean);
    AddField("COMM", fdCurrency);
    AddField("X", fdSmallint);
    AddField("DEPTNO", fdInteger);
    AddField("NOTE", fdMemo);
    AddRecord({7369, "SMITH", 800.0, Variant::fromDate(date(1980, 12, 17)), true, Variant::null(),
               5, 20, "Ære være"});
    AddRecord({7566, "JONES", 2975.0, Variant::fromDate(date(2001, 2, 20, 13, 30)), false, 300.0,
               -3, 10, "smith"});
    AddRecord({7900});
    AddRecord(
        {7788, "smithers", 3000.0, Variant::fromDate(date(1987, 4, 19)), true, 0.0, 0, 20, ""});
    SetCurrentRecord(0);
  }
};

}  // namespace oracle::filter_test
