-- A check of the Lua interpreter built from restructured sources: every line it
-- prints must be the same as with the interpreter built from the originals.
-- Nothing here depends on addresses, time or hash order.

local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print("fib", fib(20))

local words = {}
for word in ("the quick brown fox jumps over the lazy dog"):gmatch("%a+") do
  words[#words + 1] = word
end
table.sort(words)
print("sorted", table.concat(words, ","))
print("gsub", (("hello world"):gsub("o", "0")))
print("format", string.format("%5.2f|%-6s|%x|%q", math.pi, "ab", 255, "a\nb"))
print("rep", ("ab"):rep(3, "-"), ("abc"):reverse(), ("Lua"):upper(), ("x"):byte())

local counts = {}
for _, w in ipairs(words) do counts[w] = (counts[w] or 0) + 1 end
local keys = {}
for k in pairs(counts) do keys[#keys + 1] = k end
table.sort(keys)
for _, k in ipairs(keys) do io.write(k, "=", counts[k], " ") end
print()

local function counter()
  local n = 0
  return function() n = n + 1; return n end
end
local c = counter(); c(); c()
print("closure", c())

local co = coroutine.wrap(function(a)
  local b = coroutine.yield(a + 1)
  local d = coroutine.yield(b * 2)
  return d - 1
end)
print("coroutine", co(1), co(10), co(100))

print("pcall", pcall(function() error({code = 7}) end) == false)
print("error", select(2, pcall(error, "boom", 0)))
print("integers", 7 // 2, 7 % 3, 2^10, math.maxinteger + 1 == math.mininteger, 3 | 5, 6 & 3)
print("floats", 7 / 2, math.floor(-3.5), math.tointeger(4.0), 1e300 * 1e10)
print("utf8", utf8.char(72, 228, 8364), utf8.len("häl"))
print("string.pack", string.unpack("<i4", string.pack("<i4", -2)))

local t = setmetatable({}, {__index = function(_, k) return k * 2 end,
                            __call = function(_, x) return x + 1 end})
print("metatable", t[21], t(41))

local big = {}
for i = 1, 10000 do big[i] = i * i end
local sum = 0
for i = 1, #big do sum = sum + big[i] % 7 end
print("table", #big, sum)
collectgarbage()
print("load", load("return 1 + 2")(), select("#", table.unpack({1, 2, 3})))
for i = 1, 3 do
  if i == 2 then goto continue end
  io.write("goto ", i, " ")
  ::continue::
end
print()
print("os", os.getenv("HDRSLIM_NO_SUCH_VARIABLE"), type(os.clock()))
