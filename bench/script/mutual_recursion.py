# Fibonacci through two functions that call each other.
def fib_a(n):
    if n < 2:
        return n
    return fib_b(n - 1) + fib_b(n - 2)

def fib_b(n):
    if n < 2:
        return n
    return fib_a(n - 1) + fib_a(n - 2)

print(fib_a(32))
