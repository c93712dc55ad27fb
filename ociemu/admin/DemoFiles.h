// The demo home's files as the build read them from ociemu/demo (DemoFiles.cpp is generated).
#pragma once

namespace ociemu::admin {

extern const char* const kDemoSql;        // demo.sql: SCOTT's tables and rows
extern const char* const kDemoTnsNames;   // tnsnames.ora, "@DEMO_ADMIN@" for its own folder
extern const char* const kDemoMoreNames;  // more_names.ora, included by tnsnames.ora
extern const char* const kDemoSqlNet;     // sqlnet.ora

}  // namespace ociemu::admin
