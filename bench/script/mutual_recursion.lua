-- Fibonacci through two functions that call each other.
local fib_b
local function fib_a(n)
  if n < 2 then return n end
  return fib_b(n - 1) + fib_b(n - 2)
end
fib_b = function(n)
  if n < 2 then return n end
  return fib_a(n - 1) + fib_a(n - 2)
end
print(fib_a(32))
