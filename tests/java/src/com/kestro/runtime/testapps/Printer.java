package com.kestro.runtime.testapps;

/** Prints its first argument to standard output, then its second to standard error. */
public class Printer {
    public static void main(String[] args) {
        System.out.print(args[0]);
        System.err.print(args[1]);
    }
}
