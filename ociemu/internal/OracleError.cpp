// Oracle's message texts, in the classic wording clients of this generation show.
#include "ociemu/internal/OracleError.h"

#include <cstdio>
#include <unordered_map>

namespace ociemu {
namespace {

const std::unordered_map<int, const char*>& Texts() {
  static const std::unordered_map<int, const char*> texts = {
      {0, "normal, successful completion"},
      {1, "unique constraint (%s.%s) violated"},
      {54, "resource busy and acquire with NOWAIT specified or timeout expired"},
      {600, "internal error code, arguments: [%s], [], [], [], [], [], [], []"},
      {900, "invalid SQL statement"},
      {901, "invalid CREATE command"},
      {902, "invalid datatype"},
      {903, "invalid table name"},
      {909, "invalid number of arguments"},
      {904, "%s: invalid identifier"},
      {905, "missing keyword"},
      {906, "missing left parenthesis"},
      {907, "missing right parenthesis"},
      {911, "invalid character"},
      {917, "missing comma"},
      {918, "column ambiguously defined"},
      {920, "invalid relational operator"},
      {921, "unexpected end of SQL command"},
      {922, "missing or invalid option"},
      {923, "FROM keyword not found where expected"},
      {925, "missing INTO keyword"},
      {932, "inconsistent datatypes: expected %s got %s"},
      {928, "missing SELECT keyword"},
      {933, "SQL command not properly ended"},
      {936, "missing expression"},
      {938, "not enough arguments for function"},
      {942, "table or view does not exist"},
      {955, "name is already used by an existing object"},
      {957, "duplicate column name"},
      {972, "identifier is too long"},
      {980, "synonym translation is no longer valid"},
      {984, "column not allowed here"},
      {988, "missing or invalid password(s)"},
      {1000, "maximum open cursors exceeded"},
      {1001, "invalid cursor"},
      {1002, "fetch out of sequence"},
      {1003, "no statement parsed"},
      {1005, "null password given; logon denied"},
      {1007, "variable not in select list"},
      {1008, "not all variables bound"},
      {1009, "missing mandatory parameter"},
      {1010, "invalid OCI operation"},
      {1012, "not logged on"},
      {1013, "user requested cancel of current operation"},
      {1017, "invalid username/password; logon denied"},
      {1031, "insufficient privileges"},
      {1034, "ORACLE not available"},
      {1036, "illegal variable name/number"},
      {1086, "savepoint '%s' never established in this session or is invalid"},
      {1400, "cannot insert NULL into (%s)"},
      {1401, "inserted value too large for column"},
      {1410, "invalid ROWID"},
      {1403, "no data found"},
      {1405, "fetched column value is NULL"},
      {1406, "fetched column value was truncated"},
      {1407, "cannot update (%s) to NULL"},
      {1422, "exact fetch returns more than requested number of rows"},
      {1427, "single-row subquery returns more than one row"},
      {1432, "public synonym to be dropped does not exist"},
      {1434, "private synonym to be dropped does not exist"},
      {1438, "value larger than specified precision allowed for this column"},
      {1459, "invalid length for variable character string"},
      {1455, "converting column overflows integer datatype"},
      {1426, "numeric overflow"},
      {1476, "divisor is equal to zero"},
      {1480, "trailing null missing from STR bind value"},
      {1481, "invalid number format model"},
      {1722, "invalid number"},
      {1740, "missing double quote in identifier"},
      {1741, "illegal zero-length identifier"},
      {1745, "invalid host/bind variable name"},
      {1756, "quoted string not properly terminated"},
      {1821, "date format not recognized"},
      {1830, "date format picture ends before converting entire input string"},
      {1839, "date not valid for month specified"},
      {1840, "input value not long enough for date format"},
      {1841, "(full) year must be between -4713 and +9999, and not be 0"},
      {1843, "not a valid month"},
      {1847, "day of month must be between 1 and last day of month"},
      {1846, "not a valid day of the week"},
      {1848, "day of year must be between 1 and 365 (366 for leap year)"},
      {1849, "hour must be between 1 and 12"},
      {1850, "hour must be between 0 and 23"},
      {1851, "minute must be between 0 and 59"},
      {1852, "seconds must be between 0 and 59"},
      {1853, "seconds in day must be between 0 and 86399"},
      {1855, "AM/A.M. or PM/P.M. required"},
      {1858, "a non-numeric character was found where a numeric was expected"},
      {1861, "literal does not match format string"},
      {1898, "too many precision specifiers"},
      {1918, "user '%s' does not exist"},
      {1935, "missing user or role name"},
      {1986, "OPTIMIZER_GOAL is obsolete"},
      {2248, "invalid option for ALTER SESSION"},
      {2019, "connection description for remote database not found"},
      {2264, "name already used by an existing constraint"},
      {2289, "sequence does not exist"},
      {2290, "check constraint (%s.%s) violated"},
      {2291, "integrity constraint (%s.%s) violated - parent key not found"},
      {2292, "integrity constraint (%s.%s) violated - child record found"},
      {3001, "unimplemented feature"},
      {3113, "end-of-file on communication channel"},
      {3114, "not connected to ORACLE"},
      {4001, "sequence parameter %s must be an integer"},
      {4002, "INCREMENT must be a non-zero integer"},
      {4004, "MINVALUE must be less than MAXVALUE"},
      {4006, "START WITH cannot be less than MINVALUE"},
      {4008, "START WITH cannot be more than MAXVALUE"},
      {4043, "object %s does not exist"},
      {8002, "sequence %s.CURRVAL is not yet defined in this session"},
      {8004, "sequence %s.NEXTVAL %s %sVALUE and cannot be instantiated"},
      {8177, "can't serialize access for this transaction"},
      {12154, "TNS:could not resolve the connect identifier specified"},
      {12504, "TNS:listener was not given the SERVICE_NAME in CONNECT_DATA"},
      {12514, "TNS:listener does not currently know of service requested in connect descriptor"},
      {12541, "TNS:no listener"},
      {12545, "Connect failed because target host or object does not exist"},
      {12899, "value too large for column %s (actual: %s, maximum: %s)"},
      {22053, "overflow error"},
      {22060, "argument [%s] is an invalid or uninitialized number"},
      {22065, "number to text translation for the given format causes overflow"},
      {24300, "bad value for mode"},
      {24309, "already connected to a server"},
      {24313, "user already authenticated"},
      {24315, "illegal attribute type"},
      {24316, "illegal handle type"},
      {24324, "service handle not initialized"},
      {24327, "need explicit attach before authenticating a user"},
      {24328, "illegal attribute value"},
      {24333, "zero iteration count"},
      {24337, "statement handle not prepared"},
      {24334, "no descriptor for this position"},
      {24338, "statement handle not executed"},
      {24344, "success with compilation error"},
      {24345, "A Truncation or null fetch error occurred"},
      {24374, "define not done before fetch or execute and fetch"},
      {24415, "Missing or null username."},
      {24416, "Invalid session Poolname was specified."},
      {24418, "Cannot open further sessions."},
      {24422, "error occurred while trying to destroy the Session Pool"},
      {24431, "Statement does not exist in the cache"},
      {24381, "error(s) in array DML"},
      {24342, "unable to execute piecewise operation"},
      {24343, "user defined callback error"},
      {24391, "invalid fetch operation"},
      {28000, "the account is locked"},
      {28001, "the password has expired"},
      {28002, "the password will expire within %s days"},
      {28003, "password verification for the specified password failed"},
      {28008, "invalid old password"},
      {28011, "the account will expire soon; change your password now"},
  };
  return texts;
}

}  // namespace

std::string ErrorText(int code, std::initializer_list<std::string_view> args) {
  const auto& texts = Texts();
  auto it = texts.find(code);
  if (it == texts.end()) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Message %d not found;  product=RDBMS; facility=ORA", code);
    return buf;
  }
  std::string out;
  auto arg = args.begin();
  for (const char* p = it->second; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (arg != args.end()) out += *arg++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string FormatError(int code, std::initializer_list<std::string_view> args) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  return prefix + ErrorText(code, args) + "\n";
}

OracleError::OracleError(int code, std::initializer_list<std::string_view> args)
    : std::runtime_error(FormatError(code, args)), code_(code) {}

}  // namespace ociemu
