create or replace package p is procedure q(x in out number); end;
