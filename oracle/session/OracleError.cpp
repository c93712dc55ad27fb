// Construction of the error classes and the transaction server status table.
#include "oracle/session/OracleError.h"

#include <algorithm>
#include <iterator>

namespace oracle {
namespace {

struct MTSStatus {
  std::int32_t code;
  const char* text;
};

constexpr MTSStatus kMTSStatuses[] = {
    {1001, "no MTXDM.DLL available"},   {1002, "failure to create dispen"},
    {1003, "exceeded max sessions"},    {1004, "invalid OCI Svc ctx"},
    {1005, "can't create new dbiden"},  {2001, "unable to alloc a server"},
    {3001, "invalid server object"},    {3002, "failed attach to Oracle"},
    {3003, "failed detach from db"},    {3004, "failed to start trans."},
    {3005, "OCI set attrib failed"},    {3006, "conn to Oracle broken"},
    {3007, "not attached to Oracle"},   {3008, "alrdy attached to Oracle"},
    {4001, "invalid session object"},   {4002, "failed logon to Oracle"},
    {4003, "failed logoff from db"},    {4004, "no transaction beneath"},
    {4005, "already logged on to db"},  {4006, "not logged on to Oracle"},
    {5001, "RPC context is invalid"},   {5002, "generic communic. error"},
    {5003, "endpoint already connect"}, {5004, "endpoint not connected"},
    {5005, "protocol violation"},       {5006, "timeout accepting conn."},
    {5007, "invalid RPC opcode"},       {5008, "mismatched incarnation#"},
    {5009, "client connect timeout"},   {5010, "synch. send timeout"},
    {5011, "synch. receive timedout"},  {5012, "connection reset by peer"},
    {6001, "invalid args to function"}, {6002, "an object was invalid"},
    {6003, "illegal operation"},        {6004, "memory allocation error"},
    {6005, "synchr. object error"},     {6006, "no Oracle Proxy server"},
    {6007, "session already enlisted"}, {6008, "session is not enlisted"},
    {6009, "illeg on manuenlst sess"},  {6010, "illeg on autoenlst sess"},
    {6011, "error detaching trans."},   {6012, "OCI handle alloc error"},
    {6013, "OCI handle dealloc error"}, {6014, "error exporting trans."},
};
static_assert(std::size(kMTSStatuses) == 46);

std::string mtsMessage(const std::string& function, std::int32_t status) {
  if (status == 0) return function;
  return "MTS error " + std::to_string(status) + ": " + MTSStatusText(status) +
         "\r\nin function " + function;
}

}  // namespace

EOracleError::EOracleError(std::int32_t errorCode, std::string message, TComponent* sender,
                           TOracleSession* session)
    : Exception(message.size() > MaxErrorMessageLength ? message.substr(0, MaxErrorMessageLength)
                                                       : std::move(message)),
      errorCode_(errorCode),
      sender_(sender),
      session_(session) {}

EOracleMTSError::EOracleMTSError(const std::string& function, std::int32_t status)
    : Exception(mtsMessage(function, status)), errorCode_(status) {}

std::string MTSStatusText(std::int32_t status) {
  const auto* it = std::find_if(std::begin(kMTSStatuses), std::end(kMTSStatuses),
                                [status](const MTSStatus& s) { return s.code == status; });
  return it != std::end(kMTSStatuses) ? it->text : "";
}

void CheckMTSError(std::int32_t status, const std::string& function) {
  if (status != 0) throw EOracleMTSError(function, status);
}

}  // namespace oracle
