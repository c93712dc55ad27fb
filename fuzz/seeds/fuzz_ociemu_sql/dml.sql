update emp set sal = (select max(deptno) / 3 from dept), ename = null || 'x' where empno = :1 and rownum < 5
