#include "ociemu/internal/plsql/SqlBridge.h"

#include <cstring>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OraNumber.h"
#include "ociemu/internal/plsql/Ast.h"

namespace ociemu::plsql {
namespace {

constexpr sb4 kLongest = 32767;

}  // namespace

SqlCache::SqlCache() = default;
SqlCache::~SqlCache() = default;

BindBuffer BoundValues::Buffer(const Value& v) {
  auto s = std::make_unique<Storage>();
  BindBuffer b;
  switch (v.kind) {
    case Value::kNull:
      s->indicator = -1;
      b.type = SQLT_CHR;
      s->data.resize(1);
      break;
    case Value::kNumber: {
      s->data.resize(22);
      int len = EncodeNumber(v.number, s->data.data() + 1);
      s->data[0] = static_cast<unsigned char>(len);
      b.type = SQLT_VNU;
      break;
    }
    case Value::kText:
    case Value::kRaw:
      s->data.assign(v.text.begin(), v.text.end());
      b.type = v.kind == Value::kText ? SQLT_CHR : SQLT_BIN;
      break;
    case Value::kDate:
      s->data.resize(7);
      EncodeDate7(FromJulianDay(v.julian), s->data.data());
      b.type = SQLT_DAT;
      break;
    case Value::kBoolean: {
      int32_t x = v.boolean ? 1 : 0;
      s->data.resize(4);
      std::memcpy(s->data.data(), &x, 4);
      b.type = SQLT_INT;
      break;
    }
  }
  b.value = s->data.empty() ? nullptr : s->data.data();
  b.size = static_cast<sb4>(s->data.size());
  b.indicator = &s->indicator;
  storage_.push_back(std::move(s));
  return b;
}

DefineBuffer DefineFor(ub2 externalType, void* data, sb4 size, sb2* indicator) {
  DefineBuffer d;
  d.value = data;
  d.size = size;
  d.type = externalType;
  d.indicator = indicator;
  return d;
}

Value FromExternal(ub2 externalType, const unsigned char* data, sb2 indicator) {
  if (indicator < 0) return Value{};
  switch (externalType) {
    case SQLT_VNU: {
      auto n = DecodeNumber(data + 1, data[0]);
      return n ? Value::OfNumber(*n) : Value{};
    }
    case SQLT_DAT: {
      auto t = DecodeDate7(data);
      return t ? Value::OfDate(JulianDay(*t)) : Value{};
    }
    case SQLT_LVC:
    case SQLT_LVB: {
      sb4 n;
      std::memcpy(&n, data, 4);
      std::string bytes(reinterpret_cast<const char*>(data + 4),
                        static_cast<size_t>(n < 0 ? 0 : n));
      return externalType == SQLT_LVC ? Value::OfText(std::move(bytes))
                                      : Value::OfRaw(std::move(bytes));
    }
    default:
      return Value{};
  }
}

FetchedRows::FetchedRows(Cursor& c, ub4 rows) {
  const auto& described = c.Columns();
  columns_.resize(described.size());
  for (size_t i = 0; i < described.size(); ++i) {
    Column& col = columns_[i];
    switch (described[i].type.code) {
      case kTypeNumber:
      case kTypeBinaryFloat:
      case kTypeBinaryDouble:
        col.type = SQLT_VNU;
        col.size = 22;
        break;
      case kTypeDate:
        col.type = SQLT_DAT;
        col.size = 7;
        break;
      case kTypeRaw:
      case kTypeLongRaw:
      case kTypeBlob:
        col.type = SQLT_LVB;
        col.size = kLongest + 4;
        break;
      default:
        col.type = SQLT_LVC;
        col.size = kLongest + 4;
        break;
    }
    col.data.resize(static_cast<size_t>(col.size) * rows);
    col.indicators.assign(rows, -1);
    c.Define(static_cast<ub4>(i + 1),
             DefineFor(col.type, col.data.data(), col.size, col.indicators.data()));
  }
}

Value FetchedRows::Get(size_t column, ub4 row) const {
  const Column& col = columns_[column];
  return FromExternal(col.type, col.data.data() + static_cast<size_t>(col.size) * row,
                      col.indicators[row]);
}

}  // namespace ociemu::plsql
