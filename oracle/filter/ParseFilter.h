// Compiles a filter text such as ([SAL] * 12 > 20000) AND (UPPER([ENAME]) = 'SM*') into an
// expression tree, by recursive descent directly over the characters of the text.
//
// Four precedence levels, loosest first: one relational operator (=, <>, <, >, <=, >=); the
// additive operators +, -, OR, XOR; the multiplicative operators *, /, DIV, MOD, AND, SHL, SHR;
// factors (literals, parentheses, unary +, - and NOT, function calls and names). AND binds like
// * and OR like +, so conditions are written in parentheses: ([A] = 1) AND ([B] = 2).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "oracle/core/EnumSet.h"
#include "oracle/filter/Expression.h"
#include "oracle/filter/Function.h"

namespace oracle {

// The host's filter options: bit 0 compares strings without regard to letter case, bit 1 turns
// the wildcard match of = and <> off.
enum TFilterOption : std::uint8_t { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = EnumSet<TFilterOption, std::uint8_t>;

// Turns a name that is no function into a node, or gives none. The name is upper-cased unless
// it was written in brackets. params holds the parameters of a call (none for a bare or
// bracketed name; an entry may be null for an empty parameter); the resolver may take them
// over, and whatever it leaves is freed by the parser.
using NameResolver = std::function<std::unique_ptr<TExpression>(
    const std::string& name, std::unique_ptr<TParameterList>& params)>;

// The tree of the text, owned by the caller, or none for a text of only blanks. The text ends at
// its first NUL. Every node created during the parse (also by the resolver) takes
// CaseInsensitive from foCaseInsensitive and PartialMatch from the absence of
// foNoPartialCompare; the number decimal separator is the locale's.
//
// Raises EExpression on any error, having freed every node built so far. Beyond the syntax
// errors, a text nested deeper than MaxFilterDepth ("Expression nested too deeply") or one whose
// evaluation would take more than MaxFilterWork node visits ("Expression too complex": nested IF
// conditions, or a text of hundreds of thousands of operators) is refused, so that neither
// parsing nor evaluation can exhaust the stack or run for ages. Nesting is what needs recursion:
// parentheses, unary operators, function calls. A flat chain such as ([I] = 0) OR ([I] = 1) OR
// ... is parsed, read and freed in loops, so its length is not nesting.
//
// Re-entrant: the state of a parse belongs to that call, so parses may run on several threads
// at once, and a resolver may itself parse.
std::unique_ptr<TExpression> ParseFilter(std::string_view text, TFilterOptions options,
                                         const NameResolver& resolver = nullptr);

// The built-in function of that (upper-case) name: IF, a type cast (DATE, STRING, FLOAT,
// INTEGER, BOOLEAN), a numeric function or a string function; it takes over params. None for
// any other name, and params is left alone.
std::unique_ptr<TExpression> CreateFunction(const std::string& name,
                                            std::unique_ptr<TParameterList>& params);

constexpr int MaxFilterDepth = 1000;
constexpr double MaxFilterWork = 1 << 20;

}  // namespace oracle
