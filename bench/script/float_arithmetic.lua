-- Floating-point arithmetic: a midpoint-rule integral of 4 / (1 + x * x) over [0, 1], which is pi.
local function main()
  local n = 10000000
  local h = 1.0 / n
  local total = 0.0
  local x = 0.5 * h
  for i = 1, n do
    total = total + 4.0 / (1.0 + x * x)
    x = x + h
  end
  print(string.format("%f", total * h))
end
main()
