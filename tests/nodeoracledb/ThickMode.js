// node-oracledb in Thick mode over ociemu's 19c-generation client: every step a new user of the
// driver takes, each checked. Usage: node ThickMode.js ORACLE_HOME
'use strict';
const assert = require('assert/strict');
const path = require('path');
const oracledb = require('oracledb');

const home = process.argv[2];
const passed = [];

async function step(name, body) {
  await body();
  passed.push(name);
  console.log(`passed: ${name}`);
}

async function main() {
  let conn;
  await step('initialise', async () => {
    oracledb.initOracleClient({libDir: path.join(home, 'lib')});
    assert.equal(oracledb.thin, false);
    assert.match(oracledb.oracleClientVersionString, /^19\./);
  });
  await step('log on', async () => {
    conn = await oracledb.getConnection({user: 'scott', password: 'tiger', connectString: 'DEMO'});
    assert.match(conn.oracleServerVersionString, /^19\./);
  });
  await step('query with binds and fetch', async () => {
    const r = await conn.execute(
        'select empno, ename, hiredate, sal from emp where deptno = :d and sal > :s order by empno',
        {d: 10, s: 1000});
    assert.deepEqual(r.metaData.map((c) => c.name), ['EMPNO', 'ENAME', 'HIREDATE', 'SAL']);
    assert.deepEqual(r.rows.map((row) => [row[0], row[1], row[3]]),
                     [[7782, 'CLARK', 2450], [7839, 'KING', 5000], [7934, 'MILLER', 1300]]);
    assert.ok(r.rows[0][2] instanceof Date);
    const names = await conn.execute('select ename from emp where ename like :p order by 1',
                                     ['S%'], {outFormat: oracledb.OUT_FORMAT_OBJECT});
    assert.deepEqual(names.rows, [{ENAME: 'SCOTT'}, {ENAME: 'SMITH'}]);
    const rs = await conn.execute('select deptno, dname from dept order by deptno', [],
                                  {resultSet: true, fetchArraySize: 2});
    const all = [];
    for (let row; (row = await rs.resultSet.getRow());) all.push(row[0]);
    await rs.resultSet.close();
    assert.deepEqual(all, [10, 20, 30, 40]);
  });
  await step('DML and executeMany', async () => {
    await conn.execute('create table node_steps (id number(5) primary key, name varchar2(20))');
    const one = await conn.execute('insert into node_steps values (:1, :2)', [1, 'one']);
    assert.equal(one.rowsAffected, 1);
    const many = await conn.executeMany('insert into node_steps values (:id, :name)',
                                        [{id: 2, name: 'two'}, {id: 3, name: 'three'},
                                         {id: 4, name: 'a longer name'}],
                                        {bindDefs: {id: {type: oracledb.NUMBER},
                                                    name: {type: oracledb.STRING, maxSize: 20}}});
    assert.equal(many.rowsAffected, 3);
    const upd = await conn.execute('update node_steps set name = upper(name) where id > :1', [1]);
    assert.equal(upd.rowsAffected, 3);
  });
  await step('commit and roll back', async () => {
    await conn.commit();
    await conn.execute('delete from node_steps');
    let r = await conn.execute('select count(*) from node_steps');
    assert.equal(r.rows[0][0], 0);
    await conn.rollback();
    r = await conn.execute('select name from node_steps order by id');
    assert.deepEqual(r.rows.flat(), ['one', 'TWO', 'THREE', 'A LONGER NAME']);
  });
  await step('ping', async () => {
    await conn.ping();
  });
  await step('ORA errors with their texts', async () => {
    await assert.rejects(conn.execute('select * from no_such_table'),
                         {errorNum: 942, message: /^ORA-00942: table or view does not exist/});
    await assert.rejects(conn.execute('insert into node_steps values (:1, :2)', [1, 'again']),
                         {errorNum: 1, message: /^ORA-00001: unique constraint \(SCOTT\.SYS_C\d+\) violated/});
    await assert.rejects(
        conn.executeMany('insert into node_steps values (:1, :2)', [[5, 'five'], [6, 'x'.repeat(30)]]),
        {errorNum: 12899});
    await assert.rejects(oracledb.getConnection({user: 'scott', password: 'wrong', connectString: 'DEMO'}),
                         {errorNum: 1017, message: /^ORA-01017: invalid username\/password; logon denied/});
  });
  await step('close', async () => {
    await conn.execute('drop table node_steps');
    await conn.close();
  });
}

main().then(() => {
  console.log(`node-oracledb steps passed: ${passed.join(', ')}`);
}, (e) => {
  console.error(`node-oracledb steps passed before the failure: ${passed.join(', ') || 'none'}`);
  console.error(e);
  process.exit(1);
});
