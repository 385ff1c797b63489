-- Run through the built sqlite3 shell; its output must not change when the
-- shell is rebuilt from restructured sources.
.headers on
.mode list
CREATE TABLE item(id INTEGER PRIMARY KEY, name TEXT NOT NULL, price REAL, qty INT);
INSERT INTO item(name, price, qty) VALUES ('apple', 0.5, 10), ('pear', 0.75, 4),
    ('plum', 1.25, 0), ('fig', 2.0, 7), ('kiwi', NULL, 3);
CREATE INDEX item_price ON item(price);
SELECT name, price * qty AS value FROM item WHERE qty > 0 ORDER BY value DESC;
SELECT count(*), sum(qty), round(avg(price), 3), min(name), max(name) FROM item;
WITH RECURSIVE fib(n, a, b) AS (SELECT 1, 0, 1 UNION ALL SELECT n + 1, b, a + b FROM fib WHERE n < 40)
SELECT group_concat(a, ',') FROM fib;
CREATE TABLE sale(item INT REFERENCES item(id), day TEXT, n INT);
INSERT INTO sale VALUES (1, '2024-01-02', 3), (1, '2024-01-03', 1), (2, '2024-01-02', 2), (4, '2024-02-29', 5);
SELECT i.name, s.day, s.n, sum(s.n) OVER (PARTITION BY i.id ORDER BY s.day) AS running
  FROM sale s JOIN item i ON i.id = s.item ORDER BY i.name, s.day;
SELECT day, date(day, '+1 month'), strftime('%j', day) FROM sale ORDER BY day;
SELECT upper(name), length(name), substr(name, 2, 2), replace(name, 'p', 'P'), hex(name) FROM item ORDER BY id;
SELECT json_object('name', name, 'qty', qty) FROM item WHERE id <= 2 ORDER BY id;
SELECT printf('%08.3f|%-6s|%x', price, name, qty) FROM item WHERE price IS NOT NULL ORDER BY id;
UPDATE item SET qty = qty + 1 WHERE price < 1;
DELETE FROM item WHERE qty = 0;
SELECT * FROM item ORDER BY id;
EXPLAIN QUERY PLAN SELECT * FROM item WHERE price > 1;
PRAGMA integrity_check;
