# Floating-point arithmetic: a midpoint-rule integral of 4 / (1 + x * x) over [0, 1], which is pi.
def main():
    n = 10000000
    h = 1.0 / n
    total = 0.0
    x = 0.5 * h
    for i in range(1, n + 1):
        total = total + 4.0 / (1.0 + x * x)
        x = x + h
    print("%f" % (total * h))

main()
