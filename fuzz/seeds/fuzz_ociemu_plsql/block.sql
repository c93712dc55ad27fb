declare
  n number := :a;
  type t_t is table of varchar2(10) index by binary_integer;
  t t_t;
begin
  for i in reverse 1..3 loop
    t(i) := i || :b;
    exit when i = 2;
  end loop;
  :t(1) := t.count;
  if n between 1 and 20 and :b like 'x%' then :c := nvl(null, 1) / 0; end if;
exception
  when zero_divide then :r := sqlcode || sqlerrm;
end;
