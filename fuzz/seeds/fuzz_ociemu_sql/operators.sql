select ename || ' (' || deptno || ')' || hiredate, 10 / (sal - sal), (select dname from dept where deptno = emp.deptno) from emp where rownum <= 2 and sal > 1
