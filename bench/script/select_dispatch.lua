-- Dispatch on a computed value: an if/elseif chain, as Lua writes SELECT CASE.
local function main()
  local a, b, c, d = 0, 0, 0, 0
  for i = 1, 10000000 do
    local k = i % 8
    if k == 0 then
      a = a + 1
    elseif k == 1 or k == 5 then
      b = b + 2
    elseif k == 2 then
      c = c + 3
    elseif k == 3 then
      d = d + 4
    elseif k == 4 then
      a = a - 1
    elseif k == 6 then
      b = b - 1
    elseif k == 7 then
      c = c - 2
    end
  end
  print(a, b, c, d)
end
main()
